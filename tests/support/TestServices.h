// What tests that run parts of the engine without a game object hand down in its place: a log,
// the real glyph source, and script services over a test's own variables, generator, buttons and
// message boxes.
#pragma once

#include <memory>

#include "core/MessageBoxes.h"
#include "platform/GlyphSource.h"
#include "platform/Log.h"
#include "script/ScriptServices.h"

namespace zepa::testing {

// One glyph source for the whole test program: opening fontconfig and FreeType once keeps the
// suite fast, and fonts are looked up by name, so tests cannot disturb each other through it.
inline IGlyphSource& SharedGlyphs() {
    static CStderrLog log;
    static const std::unique_ptr<IGlyphSource> glyphs = CreateGlyphSource(log);
    return *glyphs;
}

// A log for tests that need one and do not look at it.
inline ILog& TestLog() {
    static CStderrLog log;
    return log;
}

// Script services over a test's own variables, generator and buttons; no stage unless given.
inline ScriptServices MakeScriptServices(CVariableStore& variables, CScriptRandom& random,
                                         const ButtonState& buttons, CMessageBoxes& boxes,
                                         const CPackArchive* archive = nullptr,
                                         StageRecord* stage = nullptr) {
    return ScriptServices{variables,      random,    buttons, archive, stage,  boxes,
                          SharedGlyphs(), TestLog(), {},      {},      nullptr};
}

}  // namespace zepa::testing
