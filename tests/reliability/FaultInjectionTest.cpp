// Saves and settings under faults: every single file operation a save or a settings write makes
// (open, write, fsync, close, rename, link, unlink) is made to fail in turn, with an I/O error,
// with a full disk (a short write, then ENOSPC) and by ending the process right there. After each
// run the slot must hold the complete old or the complete new file, option.ini must read back
// whole, and a write reported as done must really be the new content.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include "support/TestServices.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "platform/FileOperations.h"
#include "script/SaveFile.h"
#include "script/VariableStore.h"
#include "support/TestFiles.h"

namespace zepa {
namespace {

using testing::ReadFileBytes;
using testing::ScopedWorkingDirectory;
using testing::TempFolder;

enum class Fault { Error, DiskFull, Kill };

const char* FaultName(Fault fault) {
    switch (fault) {
        case Fault::Error:
            return "EIO";
        case Fault::DiskFull:
            return "ENOSPC";
        case Fault::Kill:
            return "kill";
    }
    return "?";
}

// Counts every operation and makes the one numbered `failAt` (1-based) go wrong.
class CFaultyFileOperations : public IFileOperations {
  public:
    CFaultyFileOperations(int failAt, Fault fault) : failAt_(failAt), fault_(fault) {}

    int Open(const char* path, int flags, mode_t mode) override {
        return Step("open") ? IFileOperations::Open(path, flags, mode) : -1;
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        if (diskFull_) return Refuse(ENOSPC);
        if (!Step("write")) {
            // A full disk takes what fits (half here) and refuses the rest on the next call.
            if (fault_ == Fault::DiskFull && size > 1) {
                diskFull_ = true;
                return IFileOperations::Write(fd, data, size / 2);
            }
            return -1;
        }
        return IFileOperations::Write(fd, data, size);
    }
    int Fsync(int fd) override { return Step("fsync") ? IFileOperations::Fsync(fd) : -1; }
    int Close(int fd) override {
        // The descriptor is released even when close reports an error, as on Linux.
        const bool ok = Step("close");
        const int result = IFileOperations::Close(fd);
        return ok ? result : -1;
    }
    int Rename(const char* from, const char* to) override {
        return Step("rename") ? IFileOperations::Rename(from, to) : -1;
    }
    int Link(const char* from, const char* to) override {
        return Step("link") ? IFileOperations::Link(from, to) : -1;
    }
    int Unlink(const char* path) override { return Step("unlink") ? IFileOperations::Unlink(path) : -1; }

    const std::vector<std::string>& operations() const { return operations_; }
    bool injected() const { return injected_; }

  private:
    // False when this operation is the one to fail (errno set); ends the process for Kill.
    bool Step(const char* name) {
        operations_.push_back(name);
        if (static_cast<int>(operations_.size()) != failAt_) return true;
        injected_ = true;
        if (fault_ == Fault::Kill) _exit(0);
        errno = fault_ == Fault::DiskFull ? ENOSPC : EIO;
        return false;
    }
    ssize_t Refuse(int error) {
        operations_.push_back("write");
        errno = error;
        return -1;
    }

    int failAt_;
    Fault fault_;
    std::vector<std::string> operations_;
    bool injected_ = false;
    bool diskFull_ = false;
};

// A write under test, making its system calls through the operations it is given.
using FileWrite = std::function<bool(IFileOperations&)>;

// What a file reads back as after a faulty write.
enum class Outcome { Old, New, Absent, Torn };

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Old:
            return "old";
        case Outcome::New:
            return "new";
        case Outcome::Absent:
            return "absent";
        case Outcome::Torn:
            return "TORN";
    }
    return "?";
}

// The rows of the report: "what/fault/operation" -> outcome counts.
std::map<std::string, std::map<std::string, int>>& Matrix() {
    static std::map<std::string, std::map<std::string, int>> matrix;
    return matrix;
}

// Runs `write` with operation `failAt` faulted (in a child process for Kill); returns whether
// the write reported success (always false after a kill) and the name of the faulted operation.
struct FaultyRun {
    bool reportedOk = false;
    bool injected = false;
    std::string operation;
};

FaultyRun RunWithFault(int failAt, Fault fault, const FileWrite& write) {
    FaultyRun run;
    if (fault == Fault::Kill) {
        const pid_t child = fork();
        if (child == 0) {
            CFaultyFileOperations operations(failAt, fault);
            write(operations);
            _exit(operations.injected() ? 1 : 2);  // reaching here means the kill never came
        }
        int status = 0;
        waitpid(child, &status, 0);
        run.injected = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        return run;
    }
    CFaultyFileOperations operations(failAt, fault);
    run.reportedOk = write(operations);
    run.injected = operations.injected();
    if (run.injected) run.operation = operations.operations()[failAt - 1];
    return run;
}

// Counts the operations of a fault-free write (done on a copy of the starting state).
std::vector<std::string> OperationsOf(const std::function<void()>& prepare, const FileWrite& write) {
    prepare();
    CFaultyFileOperations operations(-1, Fault::Error);
    EXPECT_TRUE(write(operations));
    return operations.operations();
}

CVariableStore StoreWithMarker(int marker) {
    CVariableStore store;
    SavePointRecord record;
    record.savePointName = "point-" + std::to_string(marker);
    for (int i = 0; i < CVariableStore::kIntCount; i += 97) store.SetInt(i, marker + i);
    store.SetString(5, std::string(3000 + marker, 'x'));
    store.SetFlag(9, marker % 2 == 1);
    store.TakeSnapshot(record);
    return store;
}

class SaveUnderFaults : public ::testing::TestWithParam<Fault> {
  protected:
    Outcome SlotOutcome(const std::string& oldBytes, const std::string& newBytes) const {
        if (!std::filesystem::exists(SaveFilePath(1))) return Outcome::Absent;
        const std::string bytes = ReadFileBytes(SaveFilePath(1));
        if (bytes == newBytes) return Outcome::New;
        if (bytes == oldBytes && !oldBytes.empty()) return Outcome::Old;
        return Outcome::Torn;
    }
};

// For both a slot that has a file and one that does not, every operation of WriteSaveFile fails
// once. Allowed results: the old file (or none, when there was none) after a failure or a kill,
// the new file after success, and a loadable, complete file either way.
TEST_P(SaveUnderFaults, EverySingleFailureLeavesTheOldOrTheNewFileWhole) {
    const Fault fault = GetParam();
    const CVariableStore oldStore = StoreWithMarker(1);
    const CVariableStore newStore = StoreWithMarker(2);
    const std::string oldBytes = EncodeSaveFile(oldStore, zepa::testing::TestLog());
    const std::string newBytes = EncodeSaveFile(newStore, zepa::testing::TestLog());

    for (const bool hadPrevious : {true, false}) {
        TempFolder folder;
        ScopedWorkingDirectory cwd(folder.path());
        const auto prepare = [&] {
            std::filesystem::remove_all("Save");
            if (hadPrevious) {
                ASSERT_TRUE(WriteSaveFile(oldStore, 1, zepa::testing::TestLog()));
            }
        };
        const FileWrite write = [&](IFileOperations& files) {
            return WriteSaveFile(newStore, 1, zepa::testing::TestLog(), files);
        };
        const std::vector<std::string> steps = OperationsOf(prepare, write);
        ASSERT_GE(steps.size(), hadPrevious ? 7u : 5u);  // open write fsync close rename (+ link, unlinks)

        for (int n = 1; n <= static_cast<int>(steps.size()); ++n) {
            prepare();
            const FaultyRun run = RunWithFault(n, fault, write);
            ASSERT_TRUE(run.injected) << "operation " << n;
            const Outcome outcome = SlotOutcome(hadPrevious ? oldBytes : "", newBytes);
            const std::string row = std::string(hadPrevious ? "save over a file" : "save to a new slot") +
                                    " | " + FaultName(fault) + " | " + steps[n - 1];
            ++Matrix()[row][OutcomeName(outcome)];
            EXPECT_NE(outcome, Outcome::Torn) << row << " at operation " << n;
            if (run.reportedOk) {
                EXPECT_EQ(outcome, Outcome::New) << row << ": success reported, old content";
            }
            if (!run.reportedOk && fault != Fault::Kill) {
                EXPECT_EQ(outcome, hadPrevious ? Outcome::Old : Outcome::Absent) << row;
            }
            if (outcome == Outcome::Old || outcome == Outcome::New) {
                CVariableStore loaded;
                ASSERT_TRUE(LoadSaveFile(loaded, 1, zepa::testing::TestLog()));
                EXPECT_EQ(loaded.GetString(5).size(), outcome == Outcome::New ? 3002u : 3001u);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveUnderFaults,
                         ::testing::Values(Fault::Error, Fault::DiskFull, Fault::Kill),
                         [](const auto& info) { return std::string(FaultName(info.param)); });

class SettingsUnderFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(SettingsUnderFaults, OptionIniAlwaysReadsBackWholeAsTheOldOrTheNewSettings) {
    const Fault fault = GetParam();
    SettingsRecord oldSettings;
    oldSettings.messageSpeed = 1;
    SettingsRecord newSettings;
    newSettings.messageSpeed = 4;
    newSettings.bgmVolume = 55;
    newSettings.buttonR = 12;

    TempFolder folder;
    ScopedWorkingDirectory cwd(folder.path());
    const auto prepare = [&] { ASSERT_TRUE(SaveSettings(oldSettings, zepa::testing::TestLog())); };
    const FileWrite write = [&](IFileOperations& files) {
        return SaveSettings(newSettings, zepa::testing::TestLog(), kSettingsFileName, files);
    };
    const std::vector<std::string> steps = OperationsOf(prepare, write);
    ASSERT_GE(steps.size(), 4u);

    for (int n = 1; n <= static_cast<int>(steps.size()); ++n) {
        prepare();
        const FaultyRun run = RunWithFault(n, fault, write);
        ASSERT_TRUE(run.injected) << "operation " << n;
        SettingsRecord read;
        read.messageSpeed = -1;
        const int values = ParseSettings(ReadFileBytes(kSettingsFileName), read);
        Outcome outcome = Outcome::Torn;
        if (values == 12 && read == newSettings) outcome = Outcome::New;
        if (values == 12 && read == oldSettings) outcome = Outcome::Old;
        const std::string row = std::string("option.ini") + " | " + FaultName(fault) + " | " + steps[n - 1];
        ++Matrix()[row][OutcomeName(outcome)];
        EXPECT_NE(outcome, Outcome::Torn) << row;
        if (run.reportedOk) {
            EXPECT_EQ(outcome, Outcome::New) << row;
        }
        if (!run.reportedOk && fault != Fault::Kill) {
            EXPECT_EQ(outcome, Outcome::Old) << row;
        }
        // No temporary file is left behind by a failure the process survives.
        if (fault != Fault::Kill) {
            for (const auto& entry : std::filesystem::directory_iterator("."))
                EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << row;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, SettingsUnderFaults,
                         ::testing::Values(Fault::Error, Fault::DiskFull, Fault::Kill),
                         [](const auto& info) { return std::string(FaultName(info.param)); });

// Printed once at the end: every operation × fault with the outcomes seen.
class MatrixPrinter : public ::testing::Environment {
  public:
    void TearDown() override {
        if (Matrix().empty()) return;
        std::cout << "\nFault-injection matrix (what | fault | faulted operation: outcomes)\n";
        for (const auto& [row, outcomes] : Matrix()) {
            std::cout << "  " << row << ":";
            for (const auto& [outcome, count] : outcomes) std::cout << " " << outcome << "=" << count;
            std::cout << "\n";
        }
    }
};
const auto* const kMatrixPrinter = ::testing::AddGlobalTestEnvironment(new MatrixPrinter);

}  // namespace
}  // namespace zepa
