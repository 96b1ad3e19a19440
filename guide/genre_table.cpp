#include "guide/genre_table.h"

#include <cstddef>

namespace corvane {

namespace {

// Narrow literals are Shift_JIS (the compiler's execution character set).
const char* const news[] = {"定時・総合", "天気", "特集・ドキュメント", "政治・国会", "経済・市況",
                            "海外・国際", "解説", "討論・会談", "報道特番", "ローカル・地域",
                            "交通"};
const char* const sports[] = {"スポーツニュース", "野球", "サッカー", "ゴルフ", "その他の球技",
                              "相撲・格闘技", "オリンピック・国際大会", "マラソン・陸上・水泳",
                              "モータースポーツ", "マリン・ウィンタースポーツ", "競馬・公営競技"};
const char* const information[] = {"芸能・ワイドショー", "ファッション", "暮らし・住まい",
                                   "健康・医療", "ショッピング・通販", "グルメ・料理", "イベント",
                                   "番組紹介・お知らせ"};
const char* const drama[] = {"国内ドラマ", "海外ドラマ", "時代劇"};
const char* const music[] = {"国内ロック・ポップス", "海外ロック・ポップス", "クラシック・オペラ",
                             "ジャズ・フュージョン", "歌謡曲・演歌", "ライブ・コンサート",
                             "ランキング・リクエスト", "カラオケ・のど自慢", "民謡・邦楽",
                             "童謡・キッズ", "民族音楽・ワールドミュージック"};
const char* const variety[] = {"クイズ", "ゲーム", "トークバラエティ", "お笑い・コメディ",
                               "音楽バラエティ", "旅バラエティ", "料理バラエティ"};
const char* const movies[] = {"洋画", "邦画", "アニメ"};
const char* const animation[] = {"国内アニメ", "海外アニメ", "特撮"};
const char* const documentary[] = {"社会・時事", "歴史・紀行", "自然・動物・環境",
                                   "宇宙・科学・医学", "カルチャー・伝統文化", "文学・文芸",
                                   "スポーツ", "ドキュメンタリー全般", "インタビュー・討論"};
const char* const theatre[] = {"現代劇・新劇", "ミュージカル", "ダンス・バレエ", "落語・演芸",
                               "歌舞伎・古典"};
const char* const hobby[] = {"旅・釣り・アウトドア", "演芸・ペット・手芸", "音楽・美術・工芸",
                             "囲碁・将棋", "麻雀・パチンコ", "車・オートバイ",
                             "コンピュータ・ＴＶゲーム", "会話・語学", "幼児・小学生",
                             "中学生・高校生", "大学生・受験", "生涯教育・資格", "教育問題"};
const char* const welfare[] = {"高齢者", "障害者", "社会福祉", "ボランティア", "手話",
                               "文字（字幕）", "音声解説"};

struct MajorGenre {
    const char* name;
    const char* const* subGenres;
    int subGenreCount;
};

template <size_t N>
constexpr MajorGenre major(const char* name, const char* const (&subs)[N]) {
    return {name, subs, static_cast<int>(N)};
}

const MajorGenre majors[GenreTable::majorCount] = {
    major("ニュース／報道", news),
    major("スポーツ", sports),
    major("情報／ワイドショー", information),
    major("ドラマ", drama),
    major("音楽", music),
    major("バラエティー", variety),
    major("映画", movies),
    major("アニメ／特撮", animation),
    major("ドキュメンタリー／教養", documentary),
    major("劇場／公演", theatre),
    major("趣味／教育", hobby),
    major("福祉", welfare),
};

bool isMajor(int major) { return major >= 0 && major < GenreTable::majorCount; }

}  // namespace

const char* GenreTable::majorName(int major) { return isMajor(major) ? majors[major].name : nullptr; }

int GenreTable::subGenreCount(int major) { return isMajor(major) ? majors[major].subGenreCount : 0; }

const char* GenreTable::subGenreName(int major, int sub) {
    if (!isMajor(major) || sub < 0 || sub >= majors[major].subGenreCount) return nullptr;
    return majors[major].subGenres[sub];
}

bool isGenreHighlighted(const GenreSettings& genres, int genre) {
    return isMajor(genre) && genres.genreCheck[genre] != 0;
}

bool isGenreTextHidden(const GenreSettings& genres, int genre) {
    return genres.genreNoDisp != 0 && !isGenreHighlighted(genres, genre);
}

}  // namespace corvane
