#pragma once
// A scratch production folder for script tests: files written there are
// found through DataFile, and the engine state is fresh for every test.

#include <gtest/gtest.h>
#include <string>

#include "EngineState.h"
#include "TestSupport.h"
#include "script/ScriptParser.h"

namespace vesta::test {

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    void write(const std::string& name, const std::string& text) { WriteFile(m_dir / name, text); }

    std::string preprocess(const std::string& text) {
        write("main.txt", text);
        CScriptParser parser(m_script);
        return parser.Preprocess("main.txt");
    }

    const ParsedScript& load(const std::string& text) {
        write("main.txt", text);
        m_script = {};
        CScriptParser parser(m_script);
        EXPECT_TRUE(parser.Load("main.txt"));
        return m_script;
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    ParsedScript m_script;
};

}  // namespace vesta::test
