// Loading a script file: line ends, the remembered file name in errors, unreadable files.
#include "script/material_scripter.h"

#include "engine/material_library.h"
#include "script/script_error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace hk {
namespace {

class ScriptFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir =
            std::filesystem::temp_directory_path() /
            ("hk_script_file_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::filesystem::path dir;
};

TEST_F(ScriptFileTest, LinesSplitAtEveryLineEnd) {
    TGLMaterialScripter s;
    ASSERT_TRUE(s.LoadScriptFromFile(Write("a.txt", "h\r\nmaterial {\nname=\x83\x41\r}\r\n\r\n}")));
    EXPECT_EQ(s.Script(),
              (std::vector<std::string>{"h", "material {", "name=\x83\x41", "}", "", "}"}));
    TGLMaterialLibrary lib;
    s.SetMaterialLibrary(&lib);
    s.Run();
    EXPECT_NE(lib.LibMaterialByName("\x83\x41"), nullptr);
}

TEST_F(ScriptFileTest, ErrorsNameTheFileAndLine) {
    TGLMaterialScripter s;
    const std::string file = Write("broken.txt", "h\r\nmaterial {\r\n}\r\n");
    ASSERT_TRUE(s.LoadScriptFromFile(file));
    TGLMaterialLibrary lib;
    s.SetMaterialLibrary(&lib);
    try {
        s.Run();
        FAIL() << "no error";
    } catch (const EMaterialScriptError& e) {
        EXPECT_EQ(e.FileName(), file);
        EXPECT_EQ(std::string(e.what()), file + ", line 3: User Error : No closing \"}\"");
    }
}

TEST_F(ScriptFileTest, UnreadableFileLeavesTheScript) {
    TGLMaterialScripter s;
    s.SetScript({"kept"});
    EXPECT_FALSE(s.LoadScriptFromFile((dir / "missing.txt").string()));
    EXPECT_FALSE(s.LoadScriptFromFile(dir.string()));
    EXPECT_FALSE(s.LoadScriptFromFile(std::string("a\0b", 3)));
    EXPECT_EQ(s.Script(), std::vector<std::string>{"kept"});
    ASSERT_TRUE(s.LoadScriptFromFile(Write("empty.txt", "")));
    EXPECT_TRUE(s.Script().empty());
}

} // namespace
} // namespace hk
