// The material script at start-up and in the batch check "--check-script".
#include "app/script_check.h"

#include "app/batch.h"
#include "engine/material_library.h"
#include "script/material_scripter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace hk {
namespace {

class ScriptCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("hk_script_check_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& text) {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    std::filesystem::path dir;
};

const char* const cGood = "Materials\r\nmaterial {\r\nname=Pipe\r\nblendingmode=bmTransparency\r\n"
                          "frontProperties {\r\ndiffuse=(0.5;0.25;0.5;1)\r\nshininess=16\r\n}\r\n"
                          "}\r\n\r\n}\r\n";

TEST_F(ScriptCheckTest, SampleScriptPrintsLogThenMaterials) {
    std::ostringstream out, err;
    EXPECT_EQ(RunScriptCheck(std::string(HK_TEST_DATA_DIR) + "/script1.txt", out, err), 0);
    EXPECT_EQ(err.str(), "");
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("Stage is at : name\n", 0), 0u);
    EXPECT_NE(text.find("\nfrontproperties\n"), std::string::npos);
    EXPECT_NE(text.find("\nMatChilledWater\tbmOpaque\t0.05,0.15,0.3,1\t0.1,0.45,0.95,1\t0,0,0,1\t"
                        "0,0,0,1\t32\n"),
              std::string::npos);
    const auto water = text.find("\nMatChilledWater\t");
    const auto rebar = text.find("\nMatRebar\t");
    const auto clearance = text.find("\nMatClearance\tbmTransparency\t");
    EXPECT_TRUE(water < rebar && rebar < clearance && clearance != std::string::npos);
}

TEST_F(ScriptCheckTest, ErrorAfterTheReportExitsOne) {
    std::ostringstream out, err;
    const std::string file = Write("broken.txt", "h\nmaterial {\nname=A\n}\n");
    EXPECT_EQ(RunScriptCheck(file, out, err), 1);
    EXPECT_EQ(out.str(), "Stage is at : name\nA\tbmOpaque\t0.2,0.2,0.2,1\t0.8,0.8,0.8,1\t0,0,0,1\t"
                         "0,0,0,1\t0\n");
    EXPECT_EQ(err.str(), "hkviewer: " + file + ", line 4: User Error : No closing \"}\"\n");
}

TEST_F(ScriptCheckTest, BatchOptionRunsTheCheck) {
    std::ostringstream out, err;
    const std::string file = Write("good.txt", cGood);
    EXPECT_EQ(RunBatch({"--check-script", file}, dir, out, err), 0);
    EXPECT_NE(out.str().find("Pipe\tbmTransparency\t0.2,0.2,0.2,1\t0.25,0.5,1,0.5\t0,0,0,1\t"
                             "0,0,0,1\t16\n"),
              std::string::npos);
    std::ostringstream out2, err2;
    EXPECT_EQ(RunBatch({"--check-script", (dir / "none.txt").string()}, dir, out2, err2), 1);
    EXPECT_EQ(out2.str(), "");
    EXPECT_NE(err2.str().find("none.txt"), std::string::npos);
    const char* argv[] = {"hkviewer", "--check-script", "x"};
    EXPECT_TRUE(IsBatchCommandLine(3, const_cast<char**>(argv)));
}

TEST_F(ScriptCheckTest, StartupWithoutScriptLeavesTheLibrary) {
    TGLMaterialLibrary library;
    library.AddMaterial("Kept");
    TGLMaterialScripter scripter;
    TMemoryLog pane;
    EXPECT_EQ(RunStartupMaterialScript(dir, library, scripter, pane), "");
    EXPECT_EQ(library.Materials().Count(), 1);
    EXPECT_TRUE(pane.Lines().empty());
}

TEST_F(ScriptCheckTest, StartupReplacesTheLibraryAndLogsToThePane) {
    Write(cMaterialScriptFileName, cGood);
    TGLMaterialLibrary library;
    library.AddMaterial("Old");
    TGLMaterialScripter scripter;
    TMemoryLog pane;
    pane.Add("Script");
    EXPECT_EQ(RunStartupMaterialScript(dir, library, scripter, pane), "");
    ASSERT_EQ(library.Materials().Count(), 1);
    EXPECT_EQ(library.Materials()[0]->Name(), "Pipe");
    const auto lines = pane.Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Script");
    EXPECT_EQ(lines[1], "Stage is at : name");
}

TEST_F(ScriptCheckTest, StartupErrorNamesTheFileAndKeepsFinishedBlocks) {
    Write(cMaterialScriptFileName, "h\nmaterial {\nname=A\n}\n\nmaterial {\nname=B\n"
                                   "frontProperties {\nshininess=x\n}\n}\n\n}\n");
    TGLMaterialLibrary library;
    TGLMaterialScripter scripter;
    TMemoryLog pane;
    const std::string error = RunStartupMaterialScript(dir, library, scripter, pane);
    EXPECT_NE(error.find(std::string(cMaterialScriptFileName) + ", line 9: 'x' is not a valid"),
              std::string::npos)
        << error;
    EXPECT_NE(library.LibMaterialByName("A"), nullptr);
    EXPECT_NE(library.LibMaterialByName("TAGB"), nullptr);
}

} // namespace
} // namespace hk
