// Runs of the material script interpreter: which lines are read when, the values each
// statement sets, placement in the library and the errors that end a run.
#include "script/material_scripter.h"

#include "engine/material_library.h"
#include "script/script_error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace hk {
namespace {

class ScripterTest : public ::testing::Test {
protected:
    ScripterTest() {
        scripter.SetMaterialLibrary(&library);
        scripter.SetDebugLog([this](std::string_view line) { log.emplace_back(line); });
    }

    void Run(const std::vector<std::string>& lines) {
        scripter.SetScript(lines);
        scripter.Run();
    }
    // The message of the error the run ends with; empty when it ends cleanly.
    std::string RunFails(const std::vector<std::string>& lines) {
        try {
            Run(lines);
        } catch (const EMaterialScriptError& e) {
            return e.Message();
        }
        return {};
    }
    TGLLibMaterial* Find(const std::string& name) { return library.LibMaterialByName(name); }
    int Count() const { return library.Materials().Count(); }

    TGLMaterialLibrary library;
    TGLMaterialScripter scripter;
    std::vector<std::string> log;
};

// Components of a vector, for comparing.
std::vector<float> V(const TVector& v) {
    return {v.x, v.y, v.z, v.w};
}
std::vector<float> V(const TAffineVector& v) {
    return {v.x, v.y, v.z};
}

const char* const cNoClosing = "User Error : No closing \"}\"";

// ---- a whole script --------------------------------------------------------------------

TEST_F(ScripterTest, DefinesMaterialsWithTheirFaceProperties) {
    Run({"header",
         "material {",
         "name=Water",
         "blendingmode=bmTransparency",
         "frontProperties {",
         "diffuse=(0.5;0.1;0.2;0.3)",
         "ambient=(1;0.4;0.5;0.6)",
         "emission=(1;0.7;0.8;0.9)",
         "specular=(1;1;0;1)",
         "shininess=32",
         "polygonmode=pmLines",
         "}",
         "}",
         "",
         "material {",
         "name=Back",
         "BackProperties {",
         "diffuse=(1;0;1;0)",
         "}",
         "}",
         "",
         "}"});
    ASSERT_EQ(Count(), 2);
    TGLLibMaterial* water = library.Materials()[0];
    EXPECT_EQ(water->Name(), "Water");
    const TGLMaterial& m = water->Material();
    EXPECT_EQ(m.BlendingMode(), bmTransparency);
    const TGLFaceProperties& front = m.FrontProperties();
    EXPECT_EQ(V(front.Diffuse().Color()), V(TColorVector{0.1f, 0.2f, 0.3f, 0.5f}));
    EXPECT_EQ(V(front.Ambient().Color()), V(TColorVector{0.4f, 0.5f, 0.6f, 1}));
    EXPECT_EQ(V(front.Emission().Color()), V(TColorVector{0.7f, 0.8f, 0.9f, 1}));
    EXPECT_EQ(V(front.Specular().Color()), V(TColorVector{1, 0, 1, 1}));
    EXPECT_EQ(front.Shininess(), 32);
    EXPECT_EQ(front.PolygonMode(), pmLines);
    EXPECT_FALSE(m.HasBackProperties());

    TGLLibMaterial* back = library.Materials()[1];
    EXPECT_EQ(back->Name(), "Back");
    ASSERT_TRUE(back->Material().HasBackProperties());
    EXPECT_EQ(V(back->Material().BackProperties().Diffuse().Color()), V(TColorVector{0, 1, 0, 1}));
    EXPECT_EQ(V(back->Material().FrontProperties().Diffuse().Color()), V(clrGray80));
}

TEST_F(ScripterTest, LogsEveryStatementAndBlock) {
    Run({"h", "material {", "  Name = x", "frontProperties {", "diffuse=(1;1;1;1)", "}", "}", "",
         "}"});
    EXPECT_EQ(log, (std::vector<std::string>{"Stage is at : name", "frontproperties",
                                             "Stage is at : diffuse"}));
    EXPECT_EQ(library.Materials()[0]->Name(), " x");
}

TEST_F(ScripterTest, MaterialStatementsSetTheLibraryMaterial) {
    TGLMaterialLibrary other;
    other.SetName("Parts");
    other.AddMaterial("Steel");
    scripter.AddMaterialLibrary(&other, "item");
    Run({"h", "material {", "name=M", "texture2name=Tex2", "textureoffset=(1;2;3)",
         "texturescale=(4;5;6)", "materialoptions=[TRUE,true]", "faceculling=fcNoCull",
         "libmaterialname=Steel", "materiallibrary=parts", "}", "", "}"});
    TGLLibMaterial* m = Find("M");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Texture2Name(), "Tex2");
    EXPECT_EQ(V(m->TextureOffset().GetXYZ()), V(TAffineVector{1, 2, 3}));
    EXPECT_EQ(V(m->TextureScale().GetXYZ()), V(TAffineVector{4, 5, 6}));
    EXPECT_TRUE(m->Material().MaterialOptions().Contains(moIgnoreFog));
    EXPECT_TRUE(m->Material().MaterialOptions().Contains(moNoLighting));
    EXPECT_EQ(m->Material().FaceCulling(), fcNoCull);
    EXPECT_EQ(m->Material().MaterialLibrary(), &other);
    EXPECT_EQ(m->Material().LibMaterialName(), "Steel");
    EXPECT_EQ(m->Material().LibMaterial(), other.LibMaterialByName("Steel"));
}

TEST_F(ScripterTest, UnknownNamesAndStatementsAreIgnored) {
    Run({"h", "material {", "name=M", "blendingmode= bmAdditive", "faceculling=fcSometimes",
         "colour=(1;1;1;1)", "materialoptions=[false,no]", "frontProperties {",
         "polygonmode=pmDots", "diffuse=1;1;1;1", "}", "}", "", "}"});
    const TGLMaterial& m = Find("M")->Material();
    EXPECT_EQ(m.BlendingMode(), bmOpaque);
    EXPECT_EQ(m.FaceCulling(), fcBufferDefault);
    EXPECT_TRUE(m.MaterialOptions().Empty());
    EXPECT_EQ(m.FrontProperties().PolygonMode(), pmFill);
    EXPECT_EQ(V(m.FrontProperties().Diffuse().Color()), V(clrGray80));
}

// ---- values as they are cut --------------------------------------------------------------

TEST_F(ScripterTest, NameKeepsTheSpaceAfterEquals) {
    Run({"h", "material {", "name= Pipe ", "}", "", "}"});
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(library.Materials()[0]->Name(), " Pipe ");
}

TEST_F(ScripterTest, DiffuseAlphaDependsOnTheSpaceAfterEquals) {
    Run({"h", "material {", "name=A", "frontProperties {", "diffuse=(1;0.2;0.4;0.6)", "}", "}", "",
         "material {", "name=B", "frontProperties {", "diffuse= (1;0.2;0.4;0.6)", "}", "}", "",
         "}"});
    EXPECT_EQ(V(Find("A")->Material().FrontProperties().Diffuse().Color()),
              V(TColorVector{0.2f, 0.4f, 0.6f, 1}));
    EXPECT_EQ(V(Find("B")->Material().FrontProperties().Diffuse().Color()),
              V(TColorVector{0.2f, 0.4f, 0.6f, 0}));
}

TEST_F(ScripterTest, InvalidShininessIsAConversionErrorNamingTheLine) {
    scripter.SetScript(
        {"h", "material {", "name=A", "frontProperties {", "shininess=high", "}", "}", "", "}"});
    try {
        scripter.Run();
        FAIL() << "no error";
    } catch (const EMaterialScriptError& e) {
        EXPECT_EQ(e.Message(), "'high' is not a valid integer value");
        EXPECT_EQ(e.Line(), 5);
        EXPECT_NE(std::string(e.what()).find("line 5"), std::string::npos);
    }
    // The block being read stays under its temporary name.
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(library.Materials()[0]->Name(), "TAGA");
}

TEST_F(ScripterTest, ShininessIsClampedToTheFaceRange) {
    Run({"h", "material {", "frontProperties {", "shininess= 900", "}", "}", "", "}"});
    EXPECT_EQ(library.Materials()[0]->Material().FrontProperties().Shininess(), 128);
}

// ---- which lines are read ----------------------------------------------------------------

TEST_F(ScripterTest, Texture2NameIsNoTextureBlock) {
    Run({"h", "material {", "name=M", "texture2name=T", "blendingmode=bmAdditive", "}", "", "}"});
    const TGLLibMaterial* m = Find("M");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Texture2Name(), "T");
    EXPECT_EQ(m->Material().BlendingMode(), bmAdditive);
    EXPECT_FALSE(m->Material().HasTexture());
    EXPECT_EQ(std::count(log.begin(), log.end(), "texture"), 0);
}

TEST_F(ScripterTest, StatementRightAfterABlockIsNotApplied) {
    Run({"h", "material {", "name=M", "frontProperties {", "}", "blendingmode=bmAdditive",
         "faceculling=fcCull", "}", "", "}"});
    const TGLMaterial& m = Find("M")->Material();
    EXPECT_EQ(m.BlendingMode(), bmOpaque);
    EXPECT_EQ(m.FaceCulling(), fcCull);
}

TEST_F(ScripterTest, BlockRightAfterABlockIsEnteredByTheSamePass) {
    Run({"h", "material {", "frontProperties {", "diffuse=(1;1;0;0)", "}", "BackProperties {",
         "diffuse=(1;0;0;1)", "}", "}", "", "}"});
    TGLMaterial& m = library.Materials()[0]->Material();
    EXPECT_EQ(V(m.FrontProperties().Diffuse().Color()), V(TColorVector{1, 0, 0, 1}));
    ASSERT_TRUE(m.HasBackProperties());
    EXPECT_EQ(V(m.BackProperties().Diffuse().Color()), V(TColorVector{0, 0, 1, 1}));
}

TEST_F(ScripterTest, TwoBlocksWithoutALineBetween) {
    // The second header is only checked for "}"; its lines are read at the top level, where
    // "}" of its properties block ends the run.
    Run({"h", "material {", "name=A", "}", "material {", "name=B", "frontProperties {", "}", "}",
         "", "material {", "name=C", "}", "", "}"});
    ASSERT_EQ(Count(), 1);
    EXPECT_NE(Find("A"), nullptr);
}

TEST_F(ScripterTest, WithoutLibraryTheBlockCloseEndsTheRun) {
    TGLMaterialScripter bare;
    bare.SetMaterialLibrary(nullptr);
    EXPECT_EQ(bare.MaterialLibrary(), nullptr);
    // Ends at the material's own "}", so the second header line is never reached.
    bare.SetScript({"h", "material {", "name=A", "}", "material {"});
    EXPECT_NO_THROW(bare.Run());
}

TEST_F(ScripterTest, HeaderLineIsNeverRead) {
    Run({"material {", "name=A", "}"});
    EXPECT_EQ(Count(), 0);
}

// ---- placement ---------------------------------------------------------------------------

TEST_F(ScripterTest, DefaultsKeepTheFirstDefinitionOfAName) {
    Run({"h", "material {", "name=M", "blendingmode=bmAdditive", "}", "", "material {", "name=M",
         "blendingmode=bmTransparency", "}", "", "}"});
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(Find("M")->Material().BlendingMode(), bmAdditive);
}

TEST_F(ScripterTest, PlacementTable) {
    struct Row {
        bool nameUsed, overwrite, append;
        std::vector<std::string> names; // the library afterwards, in order
        TBlendingMode modeOfM;
    };
    const Row rows[] = {
        {false, false, true, {"Old", "M"}, bmAdditive},
        {false, true, true, {"Old", "M"}, bmAdditive},
        {false, false, false, {"Old"}, bmOpaque},
        {false, true, false, {"Old"}, bmOpaque},
        {true, true, true, {"M"}, bmAdditive},
        {true, true, false, {"M"}, bmAdditive},
        {true, false, true, {"M"}, bmTransparency},
        {true, false, false, {"M", "TAGM"}, bmTransparency},
    };
    for (const Row& row : rows) {
        TGLMaterialLibrary lib;
        lib.AddMaterial(row.nameUsed ? "M" : "Old")
            ->Material()
            .SetBlendingMode(row.nameUsed ? bmTransparency : bmOpaque);
        TGLMaterialScripter s;
        s.SetMaterialLibrary(&lib);
        s.SetOverwriteToMaterialLibrary(row.overwrite);
        s.SetAppendToMaterialLibrary(row.append);
        s.SetScript({"h", "material {", "name=M", "blendingmode=bmAdditive", "}", "", "}"});
        s.Run();
        std::vector<std::string> names;
        for (int i = 0; i < lib.Materials().Count(); ++i)
            names.push_back(lib.Materials()[i]->Name());
        SCOPED_TRACE(::testing::Message() << "used " << row.nameUsed << " overwrite "
                                          << row.overwrite << " append " << row.append);
        EXPECT_EQ(names, row.names);
        if (TGLLibMaterial* m = lib.LibMaterialByName("M")) {
            EXPECT_EQ(m->Material().BlendingMode(), row.modeOfM);
        }
    }
}

TEST_F(ScripterTest, UnnamedBlockTakesItsAutomaticNameLessThreeCharacters) {
    Run({"h", "material {", "}", "", "}"});
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(library.Materials()[0]->Name(), "Material");
}

TEST_F(ScripterTest, OverwriteUnlinksUsersOfTheOldMaterial) {
    TGLMaterial user(nullptr);
    library.AddMaterial("M");
    user.SetMaterialLibrary(&library);
    user.SetLibMaterialName("M");
    ASSERT_NE(user.LibMaterial(), nullptr);
    scripter.SetOverwriteToMaterialLibrary(true);
    Run({"h", "material {", "name=M", "}", "", "}"});
    EXPECT_EQ(user.LibMaterial(), nullptr);
    EXPECT_EQ(Count(), 1);
}

// ---- errors ------------------------------------------------------------------------------

TEST_F(ScripterTest, MissingFinalCloseFailsAfterTheMaterialWasAdded) {
    scripter.SetScript({"h", "material {", "name=A", "}"});
    try {
        scripter.Run();
        FAIL() << "no error";
    } catch (const EMaterialScriptError& e) {
        EXPECT_EQ(e.Message(), cNoClosing);
        EXPECT_EQ(e.Line(), 4);
    }
    EXPECT_NE(Find("A"), nullptr);
}

TEST_F(ScripterTest, ReadingPastTheLastLineIsACleanError) {
    for (const std::vector<std::string>& lines : std::vector<std::vector<std::string>>{
             {},
             {"h"},
             {"h", "no close"},
             {"h", "material {", "frontProperties {", "}"},
             {"h", "material {", "texture {", "imageclassname=persistentimage{"},
             {"h", "material {", "name=x"}}) {
        const std::string message = RunFails(lines);
        EXPECT_NE(message.find("index out of bounds"), std::string::npos) << message;
    }
}

TEST_F(ScripterTest, EndCheckCountsEveryStep) {
    std::vector<std::string> lines(1280001, "");
    lines.push_back("}");
    EXPECT_EQ(RunFails(lines), "Internal Error : Infinate Loop");
    lines.erase(lines.begin());
    EXPECT_EQ(RunFails(lines), "");
}

TEST_F(ScripterTest, EachRunStartsAfresh) {
    scripter.SetScript({"h", "material {", "name=A", "}"});
    EXPECT_THROW(scripter.Run(), EMaterialScriptError);
    Run({"h", "material {", "name=B", "}", "", "}"});
    EXPECT_NE(Find("A"), nullptr);
    EXPECT_NE(Find("B"), nullptr);
}

TEST(ScripterLinks, FreedLibrariesAreForgotten) {
    TGLMaterialScripter s;
    auto lib = std::make_unique<TGLMaterialLibrary>();
    auto named = std::make_unique<TGLMaterialLibrary>();
    auto shader = std::make_unique<TGLComponent>();
    shader->SetName("Glow");
    s.SetMaterialLibrary(lib.get());
    s.AddMaterialLibrary(named.get(), "n");
    s.AddShader(shader.get());
    s.AddShader(nullptr);
    ASSERT_EQ(s.Shaders().size(), 2u);
    EXPECT_EQ(s.Shaders()[0].Name, "Glow");
    EXPECT_EQ(s.Shaders()[1].Name, "Shader");
    lib.reset();
    named.reset();
    shader.reset();
    EXPECT_EQ(s.MaterialLibrary(), nullptr);
    EXPECT_EQ(s.MaterialLibraries()[0].MaterialLibrary, nullptr);
    EXPECT_EQ(s.Shaders()[0].Shader, nullptr);
    s.SetScript({"h", "material {", "materiallibrary=n", "}", "", "}"});
    EXPECT_NO_THROW(s.Run());
}

// ---- texture blocks ----------------------------------------------------------------------

TEST_F(ScripterTest, TextureBlockSettings) {
    Run({"h", "material {", "name=T", "texture {", "texturemode=tmModulate",
         "mappingmode=tmmEyeLinear", "mappingscoordinates=(4;1;2;3)",
         "mappingtcoordinates=(0;0;0;1)", "compression=tcNone", "}", "}", "", "}"});
    const TGLMaterial& m = Find("T")->Material();
    ASSERT_TRUE(m.HasTexture());
    TGLTexture& t = const_cast<TGLMaterial&>(m).Texture();
    EXPECT_EQ(t.TextureMode(), tmModulate);
    EXPECT_EQ(t.MappingMode(), tmmEyeLinear);
    EXPECT_EQ(V(t.MappingSCoordinates()), V(TVector{1, 2, 3, 4}));
    EXPECT_EQ(V(t.MappingTCoordinates()), V(TVector{0, 0, 1, 0}));
    EXPECT_FALSE(t.Enabled());
    EXPECT_EQ(log[1], "texture");
}

TEST_F(ScripterTest, ImageSubBlockLoadsExistingFilesOnly) {
    const auto dir = std::filesystem::temp_directory_path() / "hk_script_image_test";
    std::filesystem::create_directories(dir);
    const std::string picture = (dir / "wall.bmp").string();
    std::ofstream(picture) << "BM";
    Run({"h",
         "material {",
         "name=Missing",
         "texture {",
         "imageclassname = PicFile Image {",
         "picturefilename=" + picture + ".none",
         "}",
         "}",
         "}",
         "",
         "material {",
         "name=Found",
         "texture {",
         "imageclassname=persistentImage{",
         "file=" + picture,
         "}",
         "texturemode=tmBlend",
         "}",
         "}",
         "",
         "}"});
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(Find("Missing")->Material().Texture().Enabled());
    TGLTexture& found = Find("Found")->Material().Texture();
    EXPECT_TRUE(found.Enabled());
    EXPECT_NE(std::find(log.begin(), log.end(), "File loaded : " + picture), log.end());
    // The line after the sub-block's "}" is looked at by the later texture statements.
    EXPECT_EQ(found.TextureMode(), tmBlend);
}

TEST_F(ScripterTest, CubeMapSubBlockEnablesTheTexture) {
    Run({"h", "material {", "name=C", "texture {", "imageclassname=cubemapimage{",
         "picturepx=nothing.bmp", "}", "}", "}", "", "}"});
    EXPECT_TRUE(Find("C")->Material().Texture().Enabled());
}

} // namespace
} // namespace hk
