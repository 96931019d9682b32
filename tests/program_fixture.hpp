// The fixture of the tests that run a command-line program itself: a folder
// of its own for each test, the program run through the shell with its
// output and errors kept there. A build without the windows has no program
// to run (its path is empty), and the tests skip.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

class ProgramTest : public testing::Test {
protected:
    // `program`: its path; `folder`: the start of the test folder's name.
    ProgramTest(std::string program, const std::string& folder)
        : program_(std::move(program)),
          dir(std::filesystem::temp_directory_path() / (folder + "-" + std::to_string(::getpid()))) {}
    void SetUp() override {
        std::filesystem::create_directories(dir);
        if (program_.empty()) GTEST_SKIP() << "built without the windows: no program to run";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    int Run(const std::string& args) {
        const std::string command = program_ + " " + args + " >" + (dir / "out").string() + " 2>" + (dir / "err").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(dir / name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string Path(const std::string& name) { return (dir / name).string(); }

    std::string program_;
    std::filesystem::path dir;
};

#ifdef CONVDIFF_TRANSIENT
// convdiff-transient.
class TransientProgram : public ProgramTest {
protected:
    TransientProgram() : ProgramTest(CONVDIFF_TRANSIENT, "transient-cli") {}
};
#endif
