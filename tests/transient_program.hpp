// The fixture of the tests that run convdiff-transient itself: a folder of
// its own for each test, the program run through the shell with its output
// and errors kept there.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

class TransientProgram : public testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("transient-cli-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        // Built with the windows only: a build without them has no program to run.
        if (std::string_view(CONVDIFF_TRANSIENT).empty()) GTEST_SKIP() << "built without the windows: no convdiff-transient to run";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    int Run(const std::string& args) {
        const std::string command = std::string(CONVDIFF_TRANSIENT) + " " + args + " >" + (dir / "out").string() +
                                    " 2>" + (dir / "err").string();
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
    std::filesystem::path dir;
};

