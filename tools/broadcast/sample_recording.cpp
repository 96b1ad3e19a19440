#include "tools/broadcast/sample_recording.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "tools/broadcast/packetizer.h"

namespace corvane::broadcast {
namespace {

constexpr int kTotHour = 12;  // time of the first TOT on the first day

struct Channel {
    uint16_t networkId;  // NIT network_id, also the original_network_id
    uint16_t transportStreamId;
    uint16_t serviceId;
    uint8_t serviceType;  // 0x01 digital TV, 0xC0 data
    uint8_t remoteKey;
    uint32_t frequency;   // satellite frequency in BCD; 0 on the ground
    const char* provider;
    const char* name;
    const char* tsName;
    bool hd;
    AribStyle style;      // how this broadcaster codes its event texts
};

constexpr AribStyle kPlain = AribStyle::DefaultSets;
constexpr AribStyle kG0 = AribStyle::DesignateIntoG0;

// Grouped by network, then transport stream.
const Channel kChannels[] = {
    {0x7FE0, 0x7FE0, 1024, 0x01, 1, 0, "ひかり放送", "ひかり総合", "ひかり放送", true, kPlain},
    {0x7FE0, 0x7FE0, 1025, 0x01, 1, 0, "ひかり放送", "ひかり総合２", "ひかり放送", false, kPlain},
    {0x7FE0, 0x7FE0, 1026, 0xC0, 1, 0, "ひかり放送", "ひかりデータ", "ひかり放送", false, kPlain},
    {0x7FE1, 0x7FE1, 1032, 0x01, 4, 0, "みなと放送", "みなとテレビ", "みなと放送", true, kPlain},
    {0x7FE2, 0x7FE2, 1040, 0x01, 6, 0, "あおば放送", "あおばＴＶ", "あおば放送", true, kG0},
    {0x7FE3, 0x7FE3, 1048, 0x01, 8, 0, "そよかぜテレビ", "そよかぜテレビ", "そよかぜ", true, kPlain},
    {4, 0x4010, 101, 0x01, 1, 0x01172748, "ＢＳひかり", "ＢＳひかり", "ＢＳひかり", true, kPlain},
    {4, 0x4031, 141, 0x01, 4, 0x01176584, "ＢＳみなと", "ＢＳみなと", "ＢＳみなと・あおば", true, kPlain},
    {4, 0x4031, 151, 0x01, 5, 0x01176584, "ＢＳあおば", "ＢＳあおば", "ＢＳみなと・あおば", true, kG0},
    {6, 0x6020, 218, 0x01, 18, 0x01229100, "スカイ衛星放送", "ＣＳシネマ", "ＣＳ第２０１", false, kPlain},
    {6, 0x6020, 219, 0x01, 19, 0x01229100, "スカイ衛星放送", "ＣＳスポーツ", "ＣＳ第２０１", false, kPlain},
    {7, 0x7040, 296, 0x01, 29, 0x01253100, "そら衛星放送", "ＣＳアニメ", "ＣＳ第３０２", true, kG0},
    {7, 0x7040, 800, 0x01, 80, 0x01253100, "そら衛星放送", "ＣＳミュージック", "ＣＳ第３０２", true, kPlain},
};

struct GenreInfo {
    const char* titles[4];
    const char* summary;
    uint8_t subGenres;     // level-2 codes 0..subGenres-1 are defined (and 0xF)
    int minutes[3];        // typical lengths
};

// content_nibble_level_1 0x0..0xB in order.
const GenreInfo kGenres[12] = {
    {{"ニュース", "正午のニュース", "ニュースウオッチ９", "気象情報"}, "国内外の最新ニュースと気象情報をお伝えします。", 7, {15, 30, 60}},
    {{"プロ野球中継「東京×大阪」", "大相撲・初日", "サッカーＪリーグ", "ゴルフ・オープン選手権"}, "注目の一戦を実況と解説でお届けします。", 11, {60, 120, 180}},
    {{"あさいち情報便", "旅して発見！", "くらしの知恵袋", "ワイドショー・まちかど"}, "暮らしに役立つ情報を毎日お届けします。", 6, {30, 60, 90}},
    {{"連続ドラマ「春の坂道」", "刑事ドラマ「港署の夜」", "時代劇「風の剣士」", "ドラマ特選"}, "人と人とのつながりを描く感動のドラマ。", 3, {45, 60, 90}},
    {{"うたの時間", "クラシック音楽館", "ライブ・ステージ", "ＭＵＳＩＣ　ＷＡＶＥ"}, "人気アーティストの名曲を高音質でお送りします。", 7, {30, 60, 90}},
    {{"お笑い劇場", "クイズ！なんでも博士", "トーク・サロン", "バラエティ大図鑑"}, "笑いあり涙ありのバラエティ番組です。", 7, {30, 60, 90}},
    {{"映画「遠い海の記憶」", "映画「夜明けの列車」", "名作映画劇場", "映画「星降る丘で」"}, "心に残る名作映画をノーカットで放送。", 3, {120, 120, 150}},
    {{"アニメ「ロボット探偵カイト」", "アニメ「まほうの森」", "特撮「光の戦士」", "アニメ劇場"}, "子どもから大人まで楽しめる人気作品。", 3, {30, 30, 60}},
    {{"ドキュメント日本の旅", "地球ふしぎ紀行", "歴史の扉", "サイエンス最前線"}, "知られざる世界の姿に迫るドキュメンタリー。", 8, {45, 60, 90}},
    {{"劇場中継「桜の園」", "歌舞伎への招待", "バレエ・白鳥の湖", "落語名人会"}, "話題の舞台を劇場から中継します。", 5, {90, 120, 150}},
    {{"きょうの料理", "将棋講座", "英会話ステップ", "ガーデニング入門"}, "趣味と学びの時間。初心者にもわかりやすく解説します。", 12, {15, 30, 30}},
    {{"手話ニュース", "福祉の時間", "ハートネット", "みんなの手話"}, "福祉に関する情報をわかりやすくお伝えします。", 7, {15, 30, 30}},
};

const char* const kThemes[] = {"春の訪れ", "港町の朝", "山あいの村", "未来の技術", "家族の絆", "冬の味覚", "海を渡る風", "ふるさとの祭り"};
const char* const kPeople[] = {"山田花子", "佐藤一郎", "鈴木次郎", "高橋美咲", "田中健太", "伊藤さくら", "渡辺翔", "中村あかり"};
const char* const kSentences[] = {
    "現地の人々の声を丁寧に取材しました。",
    "スタジオには専門家を迎え、わかりやすく解説します。",
    "視聴者の皆さまからのおたよりも紹介します。",
    "美しい映像とともにお楽しみください。",
    "番組の最後にはプレゼントのお知らせがあります。",
    "ハイビジョンカメラがとらえた迫力の映像は必見です。",
};

// Deterministic choices (a 64-bit LCG), the same on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : x_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    unsigned next(unsigned n) {
        x_ = x_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<unsigned>((x_ >> 33) % n);
    }

private:
    uint64_t x_;
};

std::string fullWidthNumber(int n) {
    std::string digits = std::to_string(n), out;
    for (char c : digits) {
        out += '\x82';
        out += static_cast<char>(0x4F + (c - '0'));  // ０ is 0x824F
    }
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& b : parts) out.insert(out.end(), b.begin(), b.end());
    return out;
}

struct Programme {
    EitEvent header;  // id and times, no descriptors
    Bytes basicDescriptors;
    Bytes extendedDescriptors;
};

// The programmes of a revised schedule that differ, counted from the first
// one that starts at 20:00 of the first day or later.
enum class Revision { none, retitled, extended, delayed, replaced };
constexpr int kRevisionHour = 20;
constexpr int kRevisionEveryChannels = 3;
constexpr int kExtensionMinutes = 10;

std::vector<Programme> programmesOf(const Channel& ch, int channelIndex, int64_t firstDay, int days, bool revised) {
    std::vector<Programme> out;
    int revisedFrom = -1;  // index of the first revised programme
    Random random(ch.serviceId * 131u + ch.networkId);
    int64_t end = firstDay + int64_t(days) * 86400;
    uint16_t eventId = static_cast<uint16_t>(0x0100 + channelIndex * 0x0400);
    auto text = [&](const std::string& sjis) { return AribText(sjis, ch.style); };
    for (int k = 0; true; ++k) {
        int64_t start = out.empty() ? firstDay : out.back().header.start + out.back().header.duration;
        if (start >= end) break;
        // Five is prime to twelve: every twelve programmes show every genre.
        int genre = (k * 5 + channelIndex * 3) % 12;
        const GenreInfo& g = kGenres[genre];
        int sub = (k % 7 == 6) ? 0xF : static_cast<int>(random.next(g.subGenres));
        int minutes = g.minutes[random.next(3)];

        std::string title = g.titles[random.next(4)];
        if (genre == 3 || genre == 7) title += "　第" + fullWidthNumber(k / 12 % 40 + 1) + "回";
        if (genre == 5 && k % 2) title += "　#" + std::to_string(k / 12 % 50 + 1);  // half-width
        if (revised && channelIndex % kRevisionEveryChannels == 0 && revisedFrom < 0 &&
            start >= firstDay + kRevisionHour * 3600)
            revisedFrom = k;
        const Revision revision = revisedFrom < 0 || k - revisedFrom > 3 ? Revision::none
                                                                          : static_cast<Revision>(k - revisedFrom + 1);
        if (revision == Revision::retitled) title = "【拡大版】" + title;
        if (revision == Revision::extended) minutes += kExtensionMinutes;
        if (revision == Revision::delayed) minutes -= kExtensionMinutes;
        const char* theme = kThemes[random.next(8)];
        std::string summary = std::string(g.summary) + "今回のテーマは「" + theme + "」。";

        std::string content = summary;
        int sentences = 1 + random.next(3) + (k % 5 == 0 ? 5 : 0);  // some run over one descriptor
        for (int s = 0; s < sentences; ++s) content += kSentences[(k + s) % 6];
        std::string cast = std::string("【司会】") + kPeople[random.next(8)] + "\r【ゲスト】" + kPeople[random.next(8)] +
                           "，" + kPeople[random.next(8)];
        std::vector<ExtendedItem> items = {{"番組内容", text(content)}, {"出演者", text(cast)}};
        if (k % 3 == 0)
            items.push_back({"制作", text(std::string(ch.provider) + "\r番組ホームページ\rhttps://tv.example.jp/" +
                                          std::to_string(ch.serviceId) + "/")});

        uint8_t video = ch.hd ? (k % 9 == 4 ? 0xB1 : 0xB3) : static_cast<uint8_t>(k % 2 ? 0xA3 : 0x01);
        uint8_t audio = 0x03;  // stereo
        if (genre == 6 && k % 2) audio = 0x02;   // bilingual
        if (genre == 4) audio = 0x09;            // 3/2 + LFE
        if (genre == 0 && k % 3 == 0) audio = 0x01;

        Programme p;
        p.header.eventId = eventId++;
        p.header.start = start;
        p.header.duration = minutes * 60;
        if (revision == Revision::replaced) {
            // Another event in the same time: ids of the revision start at 0xF000.
            p.header.eventId = static_cast<uint16_t>(0xF000 + channelIndex);
            title = "臨時ニュース";
            genre = 0;
            sub = 0;
        }
        p.basicDescriptors = concat({shortEventDescriptor(text(title), text(summary + kSentences[k % 6])),
                                     componentDescriptor(0x01, video), audioComponentDescriptor(audio),
                                     contentDescriptor({{static_cast<uint8_t>(genre), static_cast<uint8_t>(sub)}})});
        p.extendedDescriptors = extendedEventDescriptors(items);
        out.push_back(std::move(p));
    }
    return out;
}

EitEvent eventWith(const Programme& p, const Bytes& descriptors) {
    EitEvent e = p.header;
    e.descriptors = descriptors;
    return e;
}

struct Tables {
    std::vector<Bytes> sdt, nit, eit;
};

Tables buildTables(const SampleOptions& o) {
    Tables t;
    int64_t firstDay = broadcastTime(o.year, o.month, o.day);
    int64_t tot = firstDay + kTotHour * 3600;
    const size_t count = std::size(kChannels);

    // One NIT per network, one SDT per transport stream.
    for (size_t i = 0; i < count;) {
        const Channel& net = kChannels[i];
        Nit nit{0x40, net.networkId, static_cast<uint8_t>(net.networkId % 7 + 1), 0, 0, {}, {}};
        bool terrestrial = net.frequency == 0;
        uint8_t systemId = terrestrial ? 0x03 : net.networkId == 4 ? 0x02 : 0x04;
        nit.networkDescriptors =
            concat({networkNameDescriptor(AribText(net.provider)), descriptor(0xFE, {systemId, 0x01})});
        size_t j = i;
        for (; j < count && kChannels[j].networkId == net.networkId;) {
            const Channel& ts = kChannels[j];
            Sdt sdt{0x42, ts.transportStreamId, ts.networkId, static_cast<uint8_t>(ts.serviceId % 5 + 3), 0, 0, {}};
            std::vector<ServiceListEntry> list;
            TsInformation info{ts.remoteKey, AribText(ts.tsName), {}};
            size_t k = j;
            for (; k < count && kChannels[k].transportStreamId == ts.transportStreamId; ++k) {
                const Channel& s = kChannels[k];
                list.push_back({s.serviceId, s.serviceType});
                SdtService service{};
                service.serviceId = s.serviceId;
                service.eitSchedule = service.eitPresentFollowing = s.serviceType == 0x01;
                service.descriptors = serviceDescriptor(s.serviceType, AribText(s.provider), AribText(s.name));
                sdt.services.push_back(service);
                // TV services on the main transmission type, data on the partial one
                size_t type = s.serviceType == 0x01 ? 0 : 1;
                if (info.transmissionTypes.size() <= type) info.transmissionTypes.resize(type + 1);
                info.transmissionTypes[type].info = type == 0 ? 0x0F : 0xAF;
                info.transmissionTypes[type].serviceIds.push_back(s.serviceId);
            }
            Bytes delivery = terrestrial
                                 ? descriptor(0xFA, {0x3A, 0xAA, 0x0E, 0x2D})  // area code, guard, mode, 1/7 MHz units
                                 : satelliteDeliveryDescriptor({ts.frequency});
            nit.transportStreams.push_back({ts.transportStreamId, ts.networkId,
                                            concat({serviceListDescriptor(list), delivery, tsInformationDescriptor(info)})});
            t.sdt.push_back(sdtSection(sdt));
            j = k;
        }
        t.nit.push_back(nitSection(nit));
        i = j;
    }

    for (size_t i = 0; i < count; ++i) {
        const Channel& ch = kChannels[i];
        if (ch.serviceType != 0x01) continue;
        EitService service{ch.serviceId, ch.transportStreamId, ch.networkId};
        std::vector<Programme> programmes = programmesOf(ch, static_cast<int>(i), firstDay, o.days, o.revised);
        // present/following at the time of the first TOT
        size_t now = 0;
        while (now + 1 < programmes.size() && programmes[now + 1].header.start <= tot) ++now;
        auto full = [](const Programme& p) { return concat({p.basicDescriptors, p.extendedDescriptors}); };
        EitEvent present = eventWith(programmes[now], full(programmes[now]));
        present.runningStatus = 4;
        EitEvent following;
        bool hasFollowing = now + 1 < programmes.size();
        if (hasFollowing) following = eventWith(programmes[now + 1], full(programmes[now + 1]));
        for (Bytes& s : presentFollowingSections(service, 1, &present, hasFollowing ? &following : nullptr))
            t.eit.push_back(std::move(s));

        std::vector<EitEvent> basic, extended;
        for (const Programme& p : programmes) {
            basic.push_back(eventWith(p, p.basicDescriptors));
            extended.push_back(eventWith(p, p.extendedDescriptors));
        }
        uint8_t version = static_cast<uint8_t>(2 + i + (o.revised ? 1 : 0));
        for (Bytes& s : scheduleSections(service, 0x50, firstDay, o.days, std::move(basic), version))
            t.eit.push_back(std::move(s));
        for (Bytes& s : scheduleSections(service, 0x58, firstDay, o.days, std::move(extended), version))
            t.eit.push_back(std::move(s));
    }
    return t;
}

void produce(const SampleOptions& o, TsWriter& out) {
    Tables tables = buildTables(o);
    int64_t firstTot = broadcastTime(o.year, o.month, o.day, kTotHour);
    Packetizer packetizer;
    auto cycle = [&](int64_t tot) {
        std::vector<Packet> packets = packetizer.sectionPackets(kTotPid, totSection(tot));
        for (auto [pid, sections] : {std::pair{kSdtPid, &tables.sdt}, std::pair{kNitPid, &tables.nit},
                                     std::pair{kEitPid, &tables.eit}}) {
            std::vector<Packet> more = packetizer.sectionPackets(pid, *sections);
            packets.insert(packets.end(), more.begin(), more.end());
        }
        return packets;
    };

    std::vector<Packet> packets = cycle(firstTot);
    uint64_t perCycle = packets.size();
    uint64_t units = o.size / static_cast<uint64_t>(o.unitSize);
    uint64_t cycles = std::max<uint64_t>(1, units * o.tablePercent / 100 / perCycle);
    uint64_t tablePackets = cycles * perCycle;
    if (o.size == 0) units = 2 * perCycle;
    uint64_t fillers = units > tablePackets ? units - tablePackets : 0;

    uint64_t tablesWritten = 0, fillersWritten = 0;
    for (uint64_t c = 0; c < cycles && !out.failed(); ++c) {
        if (c > 0) {
            // The clock runs with the stream at a nominal 24 Mbit/s, and at
            // least a second per cycle so that every TOT is a new one.
            int64_t elapsed = static_cast<int64_t>(out.unitsWritten() * kPacketSize * 8 / 24000000);
            packets = cycle(firstTot + std::max<int64_t>(elapsed, static_cast<int64_t>(c)));
        }
        for (const Packet& p : packets) {
            out.put(p);
            ++tablesWritten;
            // fillers * tablesWritten / tablePackets without overflow
            uint64_t due = fillers / tablePackets * tablesWritten +
                           fillers % tablePackets * tablesWritten / tablePackets;
            for (; fillersWritten < due; ++fillersWritten) out.put(packetizer.fillerPacket());
        }
    }
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

std::string checkSampleOptions(const SampleOptions& o) {
    static const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (o.month < 1 || o.month > 12 || o.day < 1 ||
        o.day > monthDays[o.month - 1] + (o.month == 2 && leapYear(o.year) ? 1 : 0))
        return "invalid date";
    if (o.days < 1 || o.days > 8) return "days must be 1 to 8";
    int mjd = modifiedJulianDate(broadcastTime(o.year, o.month, o.day));
    if (mjd < 0 || mjd + o.days > 0xFFFF)
        return "date outside what a 16-bit MJD can carry (1858-11-17 to 2038-04-22, schedule included)";
    if (!TsWriter::validUnitSize(o.unitSize)) return "unit must be 188, 192 or 204";
    if (o.tablePercent < 1 || o.tablePercent > 100) return "table share must be 1 to 100 percent";
    return {};
}

bool writeSampleRecording(const SampleOptions& options, const std::string& path, std::string& error) {
    error = checkSampleOptions(options);
    if (!error.empty()) return false;
    TsWriter writer(options.unitSize);
    if (!writer.openFile(path)) {
        error = writer.error();
        return false;
    }
    produce(options, writer);
    if (!writer.finish()) {
        error = writer.error() + " (" + path + ")";
        // No half-written recording left behind; never remove a device such as /dev/full.
        struct stat info;
        if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) std::remove(path.c_str());
        return false;
    }
    return true;
}

Bytes sampleRecordingBytes(const SampleOptions& options) {
    if (!checkSampleOptions(options).empty()) return {};
    TsWriter writer(options.unitSize);
    produce(options, writer);
    return writer.bytes();
}

}  // namespace corvane::broadcast
