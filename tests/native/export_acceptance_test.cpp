// corvane-epg xmltv and json as other programs meet them: every XMLTV
// document validates against the DTD of Debian's xmltv-util (xmllint, and the
// package's own tv_validate_file where there are programmes), every JSON
// document parses, both hold the same programmes. Inputs: the export
// recording, the sample recording, the real captures as they are and behind a
// TOT, the real ISDB-T sections packetized. Then the command line's answers.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/akita_sections.h"
#include "support/export_recording.h"

namespace corvane {
namespace {

namespace bc = corvane::broadcast;

std::string tempPath(const std::string& name) {
    return testing::TempDir() + "corvane_export_" + std::to_string(testing::UnitTest::GetInstance()->random_seed()) +
           "_" + name;
}

std::string fileText(const std::string& path) {
    const bc::Bytes bytes = readWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeFile(const std::string& path, const bc::Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Exit status of a shell command; its output (both streams) in `output`.
int run(const std::string& command, std::string* output = nullptr) {
    const std::string log = tempPath("log");
    const int status = std::system((command + " >'" + log + "' 2>&1").c_str());
    if (output) *output = fileText(log);
    std::remove(log.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string epg(const std::string& arguments) { return "'" CORVANE_TOOLS_DIR "/corvane-epg' " + arguments; }

// Exports `input` both ways, validates and compares; the XMLTV text.
std::string exportChecked(const std::string& input, const std::string& what) {
    SCOPED_TRACE(what);
    const std::string xml = tempPath("out.xml"), json = tempPath("out.json");
    std::string log;
    EXPECT_EQ(0, run(epg("xmltv -o '" + xml + "' '" + input + "'"), &log)) << log;
    EXPECT_EQ(0, run(epg("json -o '" + json + "' '" + input + "'"), &log)) << log;
    const std::string text = fileText(xml);
    EXPECT_EQ(0, run(XMLLINT_PROGRAM " --noout --dtdvalid '" XMLTV_DTD "' '" + xml + "'", &log)) << log;
    if (occurrences(text, "<programme ") > 0) {
        EXPECT_EQ(0, run(TV_VALIDATE_FILE_PROGRAM " --dtd-file '" XMLTV_DTD "' '" + xml + "'", &log)) << log;
    }
    const nlohmann::json programmes = nlohmann::json::parse(fileText(json), nullptr, false);
    EXPECT_TRUE(programmes.is_array());
    EXPECT_EQ(occurrences(text, "<programme "), programmes.size());
    std::remove(xml.c_str());
    std::remove(json.c_str());
    return text;
}

TEST(ExportAcceptance, DocumentsValidateForEveryRecording) {
    ASSERT_NE(std::string(XMLTV_DTD).find("xmltv.dtd"), std::string::npos) << "run scripts/setup.sh (xmltv-util)";
    const std::string recording = tempPath("export.ts"), sample = tempPath("sample.ts");
    writeFile(recording, exportRecording());
    const std::string text = exportChecked(recording, "export recording");
    EXPECT_EQ(4u, occurrences(text, "<programme "));

    ASSERT_EQ(0, run("'" CORVANE_TOOLS_DIR "/corvane-sample' --date 2024-03-01 --days 2 '" + sample + "'"));
    EXPECT_GT(occurrences(exportChecked(sample, "sample recording"), "<programme "), 500u);

    // The captures as they are (some too short or without a TOT: empty documents), and behind a TOT.
    for (auto [name, unit] : {std::pair<std::string, int>{"dvbt-full-si.ts", 188},
                              {"isdbs-bs-scrambled.ts", 188},
                              {"isdbtb-204byte-units.ts", 204},
                              {"isdbt-eit-schedule.ts", 188}}) {
        const bc::Bytes capture = readWholeFile(CORVANE_SHARED_DATA "/" + name);
        if (capture.empty()) continue;
        exportChecked(CORVANE_SHARED_DATA "/" + name, name);
        bc::Bytes derived = TsRecording(bc::broadcastTime(2020, 5, 9)).bytes(unit);
        derived.insert(derived.end(), capture.begin(), capture.end());
        writeFile(recording, derived);
        const std::string exported = exportChecked(recording, name + " behind a TOT");
        if (name == "isdbt-eit-schedule.ts") {
            EXPECT_EQ(5u, occurrences(exported, "channel=\"23656.32397.isdb\""));
        }
    }
    TsRecording akita(bc::broadcastTime(2020, 5, 9));
    const bool present = forEachAkitaSection([&](const uint8_t* section, size_t size) {
        const int pid = section[0] == 0x40 ? bc::kNitPid : section[0] == 0x42 ? bc::kSdtPid : bc::kEitPid;
        if (section[0] == 0x40 || section[0] == 0x42 || (section[0] | 1) == 0x4F)
            akita.add(static_cast<uint16_t>(pid), {bc::Bytes(section, section + size)});
    });
    if (present) {
        writeFile(recording, akita.bytes());
        const std::string exported = exportChecked(recording, "real ISDB-T sections");
        EXPECT_NE(std::string::npos,
                  exported.find(utf8Of(u8"<display-name lang=\"ja\">ＮＨＫ総合１・秋田</display-name>")));
        EXPECT_NE(std::string::npos, exported.find(utf8Of(u8"<title lang=\"ja\">ＮＨＫニュース７[二][字]</title>")));
    }
    for (const std::string& path : {recording, sample}) std::remove(path.c_str());
}

TEST(ExportAcceptance, CommandLineFiltersAndFailures) {
    // The options reach the filter (whose rules the export tests check): of
    // the export recording only 258 is of 1024 and overlaps the window.
    const std::string recording = tempPath("filters.ts"), empty = tempPath("empty.ts");
    writeFile(recording, exportRecording());
    std::string out;
    ASSERT_EQ(0, run(epg("json --service 1024 --since '2026-12-31 00:15' --until 2027-01-01T00:30 '" + recording +
                         "' 2>/dev/null"), &out));
    std::vector<int> ids;
    for (const auto& p : nlohmann::json::parse(out)) ids.push_back(p["eventId"]);
    EXPECT_EQ(std::vector<int>{258}, ids);

    // (arguments, exit status, message); `empty` holds no programme data.
    writeFile(empty, TsRecording(bc::broadcastTime(2024, 3, 1)).bytes());
    for (auto [arguments, status, message] :
         {std::tuple<std::string, int, std::string>{"xmltv '" + empty + ".missing'", 1, "cannot open"},
          {"json '" + testing::TempDir() + "'", 1, "cannot open"},
          {"xmltv -o '" + empty + ".missing/out.xml' '" + empty + "'", 1, "cannot write"},
          {"json --since 2024-02-30 '" + empty + "'", 2, "bad date and time '2024-02-30' for --since"}}) {
        EXPECT_EQ(status, run(epg(arguments), &out)) << arguments;
        EXPECT_NE(std::string::npos, out.find(message)) << arguments << ": " << out;
    }
    for (const std::string& path : {recording, empty}) std::remove(path.c_str());
}

}  // namespace
}  // namespace corvane
