// The HTML of the bundled samples as a browser draws it: headless Chromium takes a screenshot,
// kept under build/<preset>/artifacts/ for a person to look at.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli_fixture.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Native;
using test::ReadFile;

constexpr int ScreenshotWidth = 1000;
constexpr int ScreenshotHeight = 1200;

// build/<preset>/artifacts, from this program's place at build/<preset>/tests/cli_tests.
fs::path ArtifactsFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return fs::temp_directory_path() / "brevikon-artifacts";
    return program.parent_path().parent_path() / "artifacts";
}

std::uint32_t BigEndian32(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

class HtmlScreenshotTest : public test::CliFixture {};

TEST_F(HtmlScreenshotTest, SamplesLookRightInChromium) {
    if (std::system("command -v chromium >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "chromium is not installed (tools/ensure-packages installs it)";
    }
    const fs::path artifacts = ArtifactsFolder();
    fs::create_directories(artifacts);
    for (const char* sample : {"ATTRIBUT.DOC", "BERICHT.DOC"}) {
        const fs::path document = fs::path(BREVIKON_SOURCE_DIR) / "samples" / sample;
        ASSERT_EQ(
            Run({Native("--to"), Native("html"), Native("-d"), Native(folder_), Native(document)}),
            0)
            << err_;
        const fs::path page = folder_ / (document.stem().string() + ".html");
        const fs::path screenshot = artifacts / (document.stem().string() + ".html.png");
        fs::remove(screenshot);
        const fs::path profile = folder_ / "chromium-profile";
        fs::create_directories(profile);
        const std::string command =
            "timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run "
            "--disable-background-networking --disable-component-update --disable-sync "
            "--user-data-dir='" +
            profile.string() + "' --screenshot='" + screenshot.string() +
            "' --window-size=" + std::to_string(ScreenshotWidth) + "," +
            std::to_string(ScreenshotHeight) + " 'file://" + page.string() + "' >'" +
            (folder_ / "chromium.log").string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(folder_ / "chromium.log");

        // A PNG of the window's size, and more than an empty page would take.
        const std::string png = ReadFile(screenshot);
        ASSERT_GT(png.size(), 24u) << screenshot;
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
        EXPECT_EQ(BigEndian32(png, 16), static_cast<std::uint32_t>(ScreenshotWidth));
        EXPECT_EQ(BigEndian32(png, 20), static_cast<std::uint32_t>(ScreenshotHeight));
        EXPECT_GT(png.size(), 20000u) << "a nearly empty picture: " << screenshot;
    }
}

}  // namespace
}  // namespace brevikon
#endif
