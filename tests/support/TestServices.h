// The engine's services for tests that run parts of it without a game object: a log, message
// boxes, scene requests, the real glyph source, a texture store (over an optional archive), the
// stage, variables, random generator, buttons and the windows' environment, handed down exactly as
// the game object hands them. Tests make one per case (or per fixture); nothing is process-wide.
#pragma once

#include <memory>
#include <optional>

#include "core/MessageBoxes.h"
#include "core/SceneRequests.h"
#include "core/Settings.h"
#include "input/ButtonState.h"
#include "platform/GlyphSource.h"
#include "platform/Log.h"
#include "resources/PackArchive.h"
#include "resources/TextureStore.h"
#include "scenes/SceneServices.h"
#include "script/ScriptRandom.h"
#include "script/ScriptServices.h"
#include "script/VariableStore.h"
#include "stage/StageRecord.h"
#include "windows/WindowEnvironment.h"

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

struct TestServices {
    explicit TestServices(const CPackArchive* archive = nullptr)
        : archive(archive), textures(archive, log), stage(&textures, log) {}

    ScriptServices Script() {
        return ScriptServices{variables, random, buttons, archive, &stage, messageBoxes, glyphs, log,
                              [this](const std::string& title) { windowTitle = title; }};
    }
    SceneServices Scene() {
        return SceneServices{settings, stage, textures, glyphs, windows, sceneRequests, Script(), randomSeed};
    }

    CStderrLog log;
    CMessageBoxes messageBoxes{log};
    CSceneRequests sceneRequests;
    IGlyphSource& glyphs = SharedGlyphs();
    const CPackArchive* archive;
    CTextureStore textures;
    StageRecord stage;
    SettingsRecord settings;
    CVariableStore variables;
    CScriptRandom random;
    ButtonState buttons;
    WindowEnvironment windows{&textures, glyphs, &stage.audio};
    std::optional<unsigned> randomSeed = 1u;
    std::string windowTitle;
};

}  // namespace zepa::testing

namespace zepa::testing {

// Script services over a test's own variables, generator and buttons; no stage unless given.
inline ScriptServices MakeScriptServices(CVariableStore& variables, CScriptRandom& random,
                                         const ButtonState& buttons, CMessageBoxes& boxes,
                                         const CPackArchive* archive = nullptr, StageRecord* stage = nullptr) {
    return ScriptServices{variables, random, buttons, archive, stage, boxes, SharedGlyphs(), TestLog(), {}};
}

}  // namespace zepa::testing
