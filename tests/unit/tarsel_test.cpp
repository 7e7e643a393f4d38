// The portable code on the Win32 stand-in: the unit tests and, built with TARSEL_FUZZ, the fuzz
// target. A rule is a table of rows "name: input => outcome", separated by "; ": the outcome is
// what the rule's function writes, then the stand-in's log (boxes, registry writes, WinExec,
// Sleep). '|' is CR LF, '~' a NUL byte, "{N:x}" x N times; "[W2 A1]" ending a name fails the 2nd
// WriteFile and the 1st GlobalAlloc (the letters of standin::Call are in kCalls).
#include "app/browser.h"
#include "app/launch.h"
#include "app/window_position.h"
#include "common/decimal.h"
#include "connection/connection_settings.h"
#include "connection/dial_registry.h"
#include "connection/idle_minutes.h"
#include "locations/list_rewrite.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <vector>

namespace {

using standin::s;
using std::string;
using Strings = std::vector<string>;
using Out = std::ostream&;

const string kAppPaths = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// Each process works in a folder of its own.
const struct Folder {
    char path[32] = "/tmp/tarsel-test-XXXXXX";
    pid_t owner = (std::filesystem::current_path(mkdtemp(path)), getpid());
    ~Folder() {
        getpid() == owner&& std::filesystem::remove_all(path);
    }
} folder;

Strings Split(const string& text, const string& separator = " ") {
    Strings parts;
    for (size_t at = 0, end = 0; end != string::npos; at = end + separator.size())
        parts.push_back(text.substr(at, (end = text.find(separator, at)) - at));
    return parts;
}

// Writes the file; "-" removes it.
void Put(const char* name, const string& bytes) {
    std::filesystem::remove(name);
    if (bytes != "-")
        std::ofstream(name, std::ios::binary) << bytes;
}

string Get(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return string(std::istreambuf_iterator<char>(in), {});
}

// Makes the key with the value; "-" leaves the value absent, "!N" makes opening the key give N.
void SetValue(const string& key, const string& name, const string& value) {
    s.keys[standin::Lower(key)] = value[0] == '!' ? atoi(value.c_str() + 1) : 0;
    if (value != "-" && value[0] != '!')
        s.values[standin::Lower(key + "\\" + name)] = value;
}

const PendingEdit none = {};

template <size_t N> void Copy(char (&field)[N], const string& text) {
    snprintf(field, N, "%s", text.c_str());
}

// The eight texts of PendingEdit in its order, separated by ',', then D and M for the entries
// marked as chosen.
void SetEdit(const string& spec) {
    Strings f = Split(spec, ",");
    f.resize(9);
    PendingEdit& p = pendingEdit;
    Copy(p.addDescription, f[0]), Copy(p.addAddress, f[1]), Copy(p.deleteDescription, f[2]),
        Copy(p.deleteAddress, f[3]), Copy(p.modifyOldDescription, f[4]),
        Copy(p.modifyOldAddress, f[5]), Copy(p.modifyNewDescription, f[6]),
        Copy(p.modifyNewAddress, f[7]);
    p.deleteChosen = f[8].find('D') != string::npos;
    p.modifyChosen = f[8].find('M') != string::npos;
}

// "urls.txt#pending edit": the result, then "urls.txt".
void Rewrite(const string& in, Out out) {
    SetEdit(in.substr(in.find('#') + 1));
    Put("urls.txt", in.substr(0, in.find('#')));
    Put("urls.tmp", "left over");
    out << ApplyPendingEdits() << " " << Get("urls.txt");
    out << (memcmp(&pendingEdit, &none, sizeof none) ? " (edit still pending)" : "")
        << (std::filesystem::exists("urls.tmp") ? " (urls.tmp left)" : "");
}

// "+" when the table holds a block, then "description=address," for each entry.
void Load(const string& bytes, bool enforceLimit, Out out) {
    Put("urls.txt", bytes);
    LocationTable t;
    out << (LoadLocationList(&t, "Failed to open URLS.TXT", enforceLimit) ? "" : "failed ")
        << (t.present ? "+" : "-");
    for (int i = 0; i < t.count; ++i)
        out << t.entries[i].description << "=" << t.entries[i].address << ",";
    FreeLocationTable(&t);
    FreeLocationTable(&t); // finds nothing left to free
}

} // namespace

#ifdef TARSEL_FUZZ
// The first byte picks the reader or rewrite, the next two a call to fail (past the last kind,
// none), the rest is what it reads. Any input may show boxes; none may leave anything open.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    string in(reinterpret_cast<const char*>(data), size), rest = in.substr(size < 3 ? size : 3);
    std::ostringstream out;
    s = standin::State();
    s.fail[size > 1 ? data[1] % 16 % 10 : 0].insert(size > 2 && data[1] % 16 < 10 ? data[2] : 0);
    switch (size ? data[0] % 5 : 0) {
    case 0: // the list file, without the main window's limit, which ends the program
        Load(rest, false, out);
        break;
    case 1: // a rewrite: "urls.txt#edit" as in the tests
        Rewrite(rest, out);
        if (memcmp(&pendingEdit, &none, sizeof none) ||
            (out.str()[0] > '1' && out.str()[0] != '9') ||
            (std::filesystem::exists("urls.tmp") && data[1] % 16 != standin::kDelete))
            abort();
        break;
    case 2: // the dial-up preference files: "dial.inf#disc.inf", then written back
        Put("dial.inf", Split(rest, "#")[0]);
        Put("disc.inf", rest.substr(rest.find('#') + 1));
        if (ReadConnectionSettings() && (!WriteConnectionSettings() || !ReadConnectionSettings()) &&
            data[1] % 16 >= 10)
            abort();
        break;
    case 3: { // the position and start files
        int x = 0, y = 0, left, top;
        Put("tarsel.ini", rest);
        Put("tarsel.inf", rest);
        ReadWindowPosition(&x, &y);
        WindowEdgesFor(x, y, 1024, 768, &left, &top);
        ReadStartIndex();
        if ((left != 1 && (left < 0 || left > 864)) || (PrepareStartLaunch(5) && StartIndex > 4))
            abort();
        break;
    }
    default: // the registry texts of the browser detection, the path lookup and the profile check
        for (string key : Strings{"HKCR\\HTTP\\DefaultIcon", "HKCU\\RemoteAccess",
                                  kAppPaths + "IEXPLORE.EXE", kAppPaths + "Netscape.exe"})
            SetValue(key, key[3] == 'U' ? "InternetProfile" : "", rest);
        DetectDefaultBrowser();
        CheckDialProfile();
        LookUpBrowserPath(kInternetExplorer);
        if (!AppendAddress(LaunchCommand, sizeof LaunchCommand, string(kMaxAddress, 'a').c_str()))
            abort();
    }
    if (s.openFiles || s.openKeys)
        abort();
    return 0;
}
#else
#include <gtest/gtest.h>

namespace {

const char kCalls[] = "rwRWFCMDAS";
const char kSettings[] = "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\internet settings";

string Expand(const string& text) {
    string out;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t colon = text.find(':', i), close = text.find('}', i);
        for (int n = text[i] == '{' ? std::stoi(text.substr(i + 1)) : 0; n > 0; --n)
            out += Expand(text.substr(colon + 1, close - colon - 1));
        if (text[i] != '{')
            out += text[i] == '|' ? "\r\n" : string(1, text[i] == '~' ? '\0' : text[i]);
        i = text[i] == '{' ? close : i;
    }
    return out;
}

// What run writes for the input, then the log.
string Outcome(void (*run)(const string& in, Out out), const string& in) {
    std::ostringstream out;
    run(in, out);
    out << s.log << (s.openFiles || s.openKeys ? " (left open)" : "");
    return out.str();
}

void Check(const string& table, void (*run)(const string& in, Out out)) {
    for (const string& row : Split(table, "; ")) {
        size_t colon = row.find(": "), arrow = row.find(" => "), fail = row.find(" [");
        s = standin::State();
        SetLastError(ERROR_ACCESS_DENIED); // as an earlier call may leave it
        for (const string& call : Split(fail < colon ? row.substr(fail + 2, colon - fail - 3) : ""))
            if (!call.empty())
                s.fail[strchr(kCalls, call[0]) - kCalls].insert(std::stoi(call.substr(1)));
        string in = Expand(row.substr(colon + 2, arrow - colon - 2));
        EXPECT_EQ(Outcome(run, in), Expand(row.substr(arrow + 4))) << row.substr(0, colon);
    }
}

TEST(Tarsel, Decimal) {
    Check("blanks, plus, digits to a letter: \t\r +90x => 90; backspace: \b7 => 0; sign alone: - 1 "
          "=> 0; past the bottom: -2147483649 => -2147483648; far past the top: 9999999999999999999"
          "9 => 2147483647",
          [](const string& in, Out out) { out << ParseDecimal(in.c_str()); });
}

TEST(Tarsel, FileReaders) {
    Check("count 0: 0|A|a| => -; negative count: -3|A|a| => -; no file: - => failed -Halvorn: Faile"
          "d to open URLS.TXT (1030)\n; blank and sign:  +2|A|a|B|b| => +A=a,B=b,; first four chara"
          "cters: 00012|A|a|B|b| => +A=a,; bare LF, unterminated: 2\nA\na\nB\nb => +A=a,B=b,; Ctrl-"
          "Z: 2|A|a|\x1a|B|b| => +A=a,; short of its count: 3||a|B| => +=a,B=,; long lines cut in p"
          "lace: 2|{250:d}|{400:a}|B|b| => +{199:d}={299:a},B=b,; 99 entries: 99|{99:x|y|} => +{99:"
          "x=y,}; out of memory [A1]: 1|A|a| => failed -Halvorn: Out of memory (1030)\n",
          [](const string& in, Out out) { Load(in, true, out); });
    std::ostringstream out;
    s = standin::State();
    Load(Expand("100|{100:x|y|}"), false, out);
    EXPECT_EQ(out.str(), Expand("+{100:x=y,}")) << "no limit for the Edit Locations dialog";
    EXPECT_EXIT((atexit([] { fputs(s.log.c_str(), stderr); }), Load(Expand("100|"), true, out)),
                ::testing::ExitedWithCode(0),
                "Maximum Locations: Location limit is 99. \\(1030\\)");
    // "dial.inf#disc.inf": the result, autoDial, autoDisconnect, idleMinutes.
    Check("as written: 1|x|#1|10|x| => 1 1 1 10; first line 10: 1|#10|5| => 1 1 10 0; two character"
          "s a value: 1|#1|120| => 1 1 1 12; ends before the minutes: 0|#1| => 1 0 1 43; empty file"
          "s: # => 1 41 42 43; CR and Ctrl-Z: \r1|#1\x1a|2| => 1 1 1 43; no dial.inf: -#1| => 0 41 "
          "42 43Halvorn: Failed to open dial.inf - read (1030)\n; no disc.inf: 1|#- => 0 41 42 43Ha"
          "lvorn: Failed to open disc.inf - read (1030)\n",
          [](const string& in, Out out) {
              Put("dial.inf", Split(in, "#")[0]);
              Put("disc.inf", Split(in, "#")[1]);
              ConnectionSettings& c = connectionSettings = {41, 42, 43, "", 0};
              out << ReadConnectionSettings();
              out << " " << c.autoDial << " " << c.autoDisconnect << " " << c.idleMinutes;
          });
    // The same bytes as "tarsel.ini" and "tarsel.inf": the result, x, y, the start value.
    Check("two lines: 103|124 => 1 103 124 103; signs and words:   +7 px|-12| => 1 7 -12 7; long li"
          "nes: 1234567890123|50 => 1 123456789 50 1234; Ctrl-Z: 1\x1a|2 => 1 1 0 1; no files: - =>"
          " 0 -1 -1 -9Halvorn: Failed to open TARSEL.INI (1030)\nHalvorn: Failed to open tarsel.inf"
          " (1030)\n",
          [](const string& in, Out out) {
              Put("tarsel.ini", in);
              Put("tarsel.inf", in);
              int x = -1, y = -1;
              out << ReadWindowPosition(&x, &y) << " " << x << " " << y;
              StartIndex = -9;
              ReadStartIndex();
              out << " " << StartIndex;
          });
}

TEST(Tarsel, ListRewrite) {
    Check(
        "add: 2|A|a|B|b|#N,n => 1 3|N|n|A|a|B|b|; delete: 2|A|a|B|b|#,,A,a => 0 1|B|b|; modify: 2"
        "|A|a|B|b|#,,,,B,b,Z,z => 0 2|A|a|Z|z|; delete, modify, add: 2|A|a|B|b|#N,n,A,a,B,b,Z,z ="
        "> 1 2|N|n|Z|z|; nothing pending: 2|A|a|B|b|# => 0 2|A|a|B|b|; add to a full list: 99|A|a"
        "|{98:x|y|}#N,n => 99 99|A|a|{98:x|y|}; delete and add on a full list: 99|A|a|{98:x|y|}#N"
        ",n,A,a => 1 99|N|n|{98:x|y|}; first four characters: 00012|A|a|B|b|#N,n => 1 2|N|n|A|a|;"
        " modify keeps the count line: 2 x|A|a|B|b|#,,,,B,b,Z,z => 0 2 x|A|a|Z|z|; modify, count "
        "above the entries: 3|A|a|B|b|#,,,,B,b,Z,z => 0 2|A|a|Z|z|; a typed text is one line: 2|A"
        "|a|B|b|#N\r\nX,n\nY\x1aZ => 1 3|N|n|A|a|B|b|; unterminated: 2|A|a|B|b#N,n => 1 3|N|n|A|a"
        "|B|b; bare LF: 2\nA\na\nB\nb\n#,,B,b => 0 1|A|a|; no address line: 2|A|a|B|#,,B, => 0 1|"
        "A|a|; long lines copied whole: 2|{250:d}|{9000:l}|B|b|#,,,,B,b,Z,z => 0 2|{250:d}|{9000:l}"
        "|Z|z|; a cut line matches nothing: 1|A|{300:a}|#,,A,{299:a} => 0 1|A|{300:a}|; widest de"
        "lete and add: 2|{199:D}|{299:A}|B|b|#{199:N},{199:N},{199:D},{299:A} => 1 2|{199:N}|{199"
        ":N}|B|b|; widest modify: 2|{199:D}|{299:A}|B|b|#,,,,{199:D},{299:A},{199:N},{299:A} => 0"
        " 2|{199:N}|{299:A}|B|b|; first twin: 3|A|a|B|b|A|a|#,,A,a => 0 2|B|b|A|a|; both twins: 3"
        "|A|a|B|b|A|a|#,,,,A,a,Z,z => 0 3|Z|z|B|b|Z|z|; no match leaves the file: 2\nA\na\nB\nb\n"
        "#,,A,x,C,c,Z,z => 0 2\nA\na\nB\nb\n; chosen: 2||e|B|b|#,,,e,,,,,D => 0 1|B|b|; chosen fo"
        "r modify: 2||e|B|b|#,,,,,e,N,e,M => 0 2|N|e|B|b|; not chosen: 2||e|B|b|#,,,e => 0 2||e|B"
        "|b|; no list file: -#N,n,A,a,B,b,Z,z => 0 {3:Halvorn: Failed to open URLS.LST (1030)\n}",
        Rewrite);
}

// Each system call of a rewrite fails in turn, the nth of each kind until none is left: the list
// is then the old one and the call's box, or the whole new one.
TEST(Tarsel, ListRewriteFailurePoints) {
    const string box[] = {"open URLS.LST",  "open URLS.TMP",  "open URLS.LST",
                          "write URLS.TMP", "write URLS.TMP", "write URLS.TMP"};
    const string ops[] = {"N,n", ",,D,A", ",,,,D,A,M,m"}; // add (1), delete (2), modify (3)
    string old = "91|D|A|";
    for (int i = 0; i < 90; ++i)
        old += "{199:d}|{299:a}|";
    old = Expand(old);
    int points = 0;
    for (int op = 0; op < 3; ++op) {
        s = standin::State();
        const string fresh = Outcome(Rewrite, old + "#" + ops[op]);
        const standin::State clean = s;
        ASSERT_TRUE(clean.log.empty() && clean.calls[standin::kWrite] > 5 &&
                    clean.calls[standin::kFlush] == 1)
            << clean.log;
        for (int kind = standin::kOpenRead; kind <= standin::kDelete; ++kind) {
            for (int nth = 1; nth <= clean.calls[kind]; ++nth, ++points) {
                s = standin::State();
                s.fail[kind] = {nth};
                bool shown =
                    kind < standin::kClose || (kind == standin::kClose && nth == clean.calls[kind]);
                string expected =
                    kind == standin::kMove
                        ? fresh.substr(0, 2) + old + "Copy Failed: urls.tmp to urls.txt (" +
                              std::to_string(op + 1) + ") (1030)\n"
                    : shown ? "0 " + old + "Halvorn: Failed to " + box[kind] + " (1030)\n"
                            : fresh;
                EXPECT_EQ(Outcome(Rewrite, old + "#" + ops[op]), expected)
                    << ops[op] << ", call kind " << kind << " #" << nth;
            }
        }
    }
    printf("[ failure points ] %d covered\n", points);
    RecordProperty("failure_points", points);
    EXPECT_GT(points, 100);
}

// A child applies 120 edits to a list of 99 entries "n<i>", "a<i>" while this process kills it
// at a random moment: each kill must leave one of the lists that the edits pass through. Edit p
// deletes entry p / 3 (p % 3 == 0), changes entry p / 3 + 50's address (1) or adds p / 3 + 99.
TEST(Tarsel, ListRewriteSurvivesKills) {
    string start = "99|", edits[120];
    for (int i = 98; i >= 0; --i)
        start += "n" + std::to_string(i) + "|a" + std::to_string(i) + "|";
    for (int p = 0; p < 120; ++p) {
        string d = std::to_string(p / 3), m = std::to_string(p / 3 + 50);
        edits[p] = p % 3 == 0 ? ",,n" + d + ",a" + d
                   : p % 3 == 1
                       ? ",,,,n" + m + ",a" + m + ",n" + m + ",b" + m
                       : "n" + std::to_string(p / 3 + 99) + ",a" + std::to_string(p / 3 + 99);
    }
    Put("urls.txt", start = Expand(start));
    std::set<string> lists = {start}, seen;
    auto begin = std::chrono::steady_clock::now();
    for (const string& edit : edits)
        SetEdit(edit), ApplyPendingEdits(), lists.insert(Get("urls.txt"));
    ASSERT_EQ(lists.size(), 121u) << s.log;
    std::uniform_int_distribution<long> delay(0, (std::chrono::steady_clock::now() - begin) /
                                                     std::chrono::microseconds(1));
    std::mt19937 random(1);
    int kills = getenv("TARSEL_KILLS") ? atoi(getenv("TARSEL_KILLS")) : 150;
    for (int kill = 0; kill < kills; ++kill) {
        Put("urls.txt", start);
        pid_t child = fork();
        for (int p = 0; child == 0 && p < 120; ++p)
            SetEdit(edits[p]), ApplyPendingEdits();
        if (child <= 0)
            _exit(child);
        usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        ASSERT_TRUE(lists.count(Get("urls.txt"))) << "kill " << kill << " left:\n"
                                                  << Get("urls.txt");
        seen.insert(Get("urls.txt"));
    }
    printf("[ kills ] %d kills survived, %zu of 121 lists seen\n", kills, seen.size());
    RecordProperty("kills", kills);
    EXPECT_GT(seen.size(), 1u);
}

const char kDialRest[] = "first line 0 = autodial off\r\nfirst line 1 = autodial on\r\n";
const char kDiscRest[] = "first line 0 = autodisconnect off\r\nfirst line 1 = autodisconnect on\r\n"
                         "second line  = number of idle minutes before disconnect\r\n";

string Replace(string text, const string& what, const char* with) {
    size_t at = text.find(what);
    return at == string::npos ? text : text.replace(at, what.size(), with);
}

TEST(Tarsel, ConnectionFiles) {
    // "autoDial autoDisconnect idleMinutesText": "dial.inf#disc.inf" with their comment lines as
    // "*", and the result.
    Check("on, 10: 1 1 10 => 1|*#1|10|* 1; nothing flushed [F1]: 1 1 10 => 1|*#1|10|* 1; other numb"
          "ers on, no text: 7 0  => 1|*#0||* 1; unended text: 0 -1 123 => 0|*#1|12|* 1; dial.inf no"
          "t opened [w1]: 1 1 10 => old#old 0Halvorn: Failed to open dial.inf - write (1030)\n; dis"
          "c.inf not opened [w2]: 0 1 10 => 0|*#old 0Halvorn: Failed to open disc.inf - write (1030"
          ")\n; dial.inf not written [W1]: 1 1 10 => #1|10|* 0Halvorn: Failed to write dial.inf (10"
          "30)\n; disc.inf not closed [C2]: 1 1 10 => 1|*#1|10|* 0Halvorn: Failed to write disc.inf"
          " (1030)\n",
          [](const string& in, Out out) {
              Put("dial.inf", "old");
              Put("disc.inf", "old");
              Strings w = Split(in);
              connectionSettings = {std::stoi(w[0]), std::stoi(w[1]), 0, "", 0};
              strncpy(connectionSettings.idleMinutesText, w[2].c_str(), 3);
              bool written = WriteConnectionSettings();
              out << Replace(Get("dial.inf"), kDialRest, "*") << "#"
                  << Replace(Get("disc.inf"), kDiscRest, "*") << " " << written;
          });
    // Both switches from "value seen preference flag minutes": the two switches as the
    // synchronisation keeps them, the flag, then the writes.
    Check("absent, off: - 0 0 0 10 => 0 0 0; absent, on: - 0 7 0 10 => 1 1 0EnableAutoDial=1\nEnabl"
          "eAutoDisconnect=1\nDisconnectIdleTime=10\n; absent is as seen last: - 1 0 0 10 => 0 0 0E"
          "nableAutoDial=0\nEnableAutoDisconnect=0\n; off, on, flagged: ~~~~ 1 1 1 10 => 1 1 0Enabl"
          "eAutoDial=1\nEnableAutoDisconnect=1\nDisconnectIdleTime=10\nDisconnectIdleTime=10\n; off"
          ", flagged: ~~~~ 1 0 1 10 => 0 0 0DisconnectIdleTime=10\n; on, off, flagged: \x01~~~ 0 0 "
          "1 10 => 0 0 0EnableAutoDial=0\nDisconnectIdleTime=10\nEnableAutoDisconnect=0\n; 2 is on:"
          " \x02~~~ 0 1 0 10 => 2 2 0; 2 is on, off: \x02~~~ 0 0 0 10 => 0 0 0EnableAutoDial=0\nEna"
          "bleAutoDisconnect=0\n; first four of five bytes: \x01\x02\x03\x04\x05 0 1 0 10 => 673059"
          "85 67305985 0; long, on: \x01{299:~} 0 1 0 10 => 1 1 0; long, off: {299:~}\x01 1 0 0 10 "
          "=> 0 0 0; long, no memory [A1 A2]: \x01{299:~} 0 0 0 10 => 0 0 0; minutes as four bytes:"
          " ~~~~ 0 7 0 67305985 => 1 1 0EnableAutoDial=1\nEnableAutoDisconnect=1\nDisconnectIdleTim"
          "e=67305985\n; a refused switch stays as seen [S1]: - 0 1 0 10 => 0 1 0EnableAutoDisconne"
          "ct=1\nDisconnectIdleTime=10\n; refused minutes stay flagged [S3 S4]: - 0 1 0 10 => 1 1 1"
          "EnableAutoDial=1\nEnableAutoDisconnect=1\n; no key: !2 0 1 1 10 => 0 0 1ERROR: open auto"
          " dial failed(registry): File not found. (40)\nERROR: open auto disconnect failed(registr"
          "y): File not found. (40)\n; key denied: !5 1 1 1 10 => 1 1 1ERROR: open auto dial failed"
          "(registry): Access is denied. (40)\nERROR: open auto disconnect failed(registry): Access"
          " is denied. (40)\n",
          [](const string& in, Out out) {
              Strings w = Split(in);
              SetValue(kSettings, "EnableAutoDial", w[0]);
              SetValue(kSettings, "EnableAutoDisconnect", w[0]);
              int seen = std::stoi(w[1]), preference = std::stoi(w[2]);
              dialRegistryState = {seen, seen};
              connectionSettings = {preference, preference, std::stoi(w[4]), "", std::stoi(w[3])};
              SyncAutoDial();
              SyncAutoDisconnect();
              out << dialRegistryState.enableAutoDial << " "
                  << dialRegistryState.enableAutoDisconnect << " "
                  << connectionSettings.idleTimeChanged;
          });
}

TEST(Tarsel, Browser) {
    // "DefaultIcon#InternetProfile": the detection's result and kind, then the profile check.
    Check("NETSCAPE.EXE without NUL: C:\\N\\NETSCAPE.EXE#AB => 1 1; netscape.exe: netscape.exe,0~#A"
          "B => 1 1; URL.DLL: URL.DLL~#AB => 1 2; url.dll: url.dll~#AB => 1 2; in order: url.dll ne"
          "tscape.exe~#AB => 1 1; case counts: Netscape.exe~#AB => 0 0ERROR: Default Browser Not Su"
          "pported: Netscape.exe (1040)\n; longer than the buffer: {2000:a}#AB => 0 0ERROR: Default"
          " Browser Not Supported:  (1040)\n; no text for the code: !1234#AB => 0 0ERROR: open defa"
          "ult browser failed: Error 1234 (40)\n; no profile: url.dll~#- => 1 2ERROR: no dial line "
          "entry:  (1040)\n; one character: url.dll~#A~ => 1 2ERROR: no dial line entry: A (1040)\n"
          "; one, no NUL: url.dll~#A => 1 2ERROR: no dial line entry: A (1040)\n; NUL first: url.dl"
          "l~#~BC~ => 1 2ERROR: no dial line entry:  (1040)\n; fills the buffer: url.dll~#{200:P} ="
          "> 1 2; no RemoteAccess: url.dll~#!2 => 1 2ERROR: Failed to get Netscape installation dir"
          "ectory: File not found. (40)\n",
          [](const string& in, Out out) {
              SetValue("HKCR\\HTTP\\DefaultIcon", "", Split(in, "#")[0]);
              SetValue("HKCU\\RemoteAccess", "InternetProfile", Split(in, "#")[1]);
              BrowserKind = kNoBrowser;
              out << DetectDefaultBrowser() << " " << BrowserKind;
              CheckDialProfile();
          });
    // "path#size of the command": whether the path fits, and the command.
    Check("fills it: abcdefghijk#12 => 1 abcdefghijk; quoted, fills it: a b c d e#12 => 1 \"a b c d"
          " e\"; one more: a b c d ef#12 => 0 ; no room: abc#0 => 0 x",
          [](const string& in, Out out) {
              char command[16] = "x";
              out << SetBrowserPath(command, std::stoul(Split(in, "#")[1]),
                                    Split(in, "#")[0].c_str())
                  << " " << command;
          });
}

// The preference files, the registry and the list as a launch finds them.
void SetUpLaunch(const string& list) {
    Put("dial.inf", "1\r\n");
    Put("disc.inf", "0\r\n10\r\n");
    Put("urls.txt", list);
    SetValue(kSettings, "", "-");
    SetValue("HKCU\\RemoteAccess", "", "-");
    SetValue("HKCR\\HTTP\\DefaultIcon", "", "url.dll,0~");
    dialRegistryState = {0, 0};
    connectionSettings.idleTimeChanged = 0;
}

TEST(Tarsel, Launch) {
    // "start value, entries": whether a start-up launch is made, StartIndex, exitAfterLaunch.
    Check("0: 0 5 => 0 0 0; first: 1 5 => 1 0 0; last: 5 5 => 1 4 0; past the last: 6 5 => 0 0 0; h"
          "idden first: 101 5 => 1 0 1; hidden last: 105 5 => 1 4 1; hidden past: 106 5 => 0 0 0; 1"
          "00 names no entry: 100 100 => 0 0 0; negative: -1 5 => 0 0 0",
          [](const string& in, Out out) {
              StartIndex = std::stoi(in);
              exitAfterLaunch = false;
              out << PrepareStartLaunch(std::stoi(Split(in)[1])) << " " << StartIndex << " "
                  << exitAfterLaunch;
          });
    // "browser kind#start value#selected item#browser path#list": what Go does.
    Check("Netscape: 1#0#1#C:\\N.EXE~#2|A|a|B|b| => EnableAutoDial=1\nexec C:\\N.EXE b\n; a blank i"
          "s quoted: 2#0#0#C:\\P F\\IE.EXE~#1|A|a| => EnableAutoDial=1\nexec \"C:\\P F\\IE.EXE\" a"
          "\n; quoted stays: 2#0#0#\"C:\\P F\"~#1|A|a| => EnableAutoDial=1\nexec \"C:\\P F\" a\n; a"
          " tab is quoted: 1#0#0#C:\\N\tN~#1|A|a| => EnableAutoDial=1\nexec \"C:\\N\tN\" a\n; longe"
          "st path and address: 2#0#0#C:\\{1020: }~#1|A|{299:a}| => EnableAutoDial=1\nexec \"C:\\{1"
          "020: }\" {299:a}\n; one longer: 2#0#0#C:\\{1021:p}~#1|A|a| => EnableAutoDial=1\nexec  a"
          "\n; longest without NUL: 2#0#0#C:\\{1020:p}#1|A|a| => EnableAutoDial=1\nexec C:\\{1020:p"
          "} a\n; one longer without NUL: 2#0#0#C:\\{1021:p}#1|A|a| => EnableAutoDial=1\nexec  a\n;"
          " no browser: 0#0#0#x~#1|A|a| => EnableAutoDial=1\nexec  a\n; no App Paths key: 2#0#0#!2#"
          "1|A|a| => EnableAutoDial=1\nERROR: Failed to get Internet Explorer installation director"
          "y: File not found. (40)\nexec  a\n; pause after a start-up launch: 2#2#0#x~#1|A|a| => En"
          "ableAutoDial=1\nexec x a\nsleep 1500\n; none selected: 2#1#-1#x~#1|A|a| => EnableAutoDia"
          "l=1\n; past the last: 2#1#1#x~#1|A|a| => EnableAutoDial=1\n; no list: 2#1#0#x~#- => Halv"
          "orn: Failed to open URLS.TXT (1030)\nEnableAutoDial=1\n; "
          "start fails: 2#0#0#x~#1|A|a|#2 => EnableAutoDial=1\nexec x a\n"
          "ERROR: Failed to start the browser: File not found. (40)\n; "
          "out of memory: 2#0#0#x~#1|A|a|#0 => EnableAutoDial=1\nexec x a\n"
          "ERROR: Failed to start the browser: Error 8 (40)\n; "
          "fails without a path: 0#0#0#x~#1|A|a|#2 => EnableAutoDial=1\nexec  a\n",
          [](const string& in, Out) {
              Strings w = Split(in, "#");
              SetUpLaunch(w[4]);
              s.execResult = w.size() > 5 ? std::stoi(w[5]) : 33;
              SetValue(kAppPaths + "Netscape.exe", "", w[3]);
              SetValue(kAppPaths + "IEXPLORE.EXE", "", w[3]);
              BrowserKind = std::stoi(w[0]);
              StartIndex = std::stoi(w[1]);
              LoadLocationList(&mainTable, "Failed to open URLS.TXT", true);
              strcpy(LaunchCommand, "left over");
              PrepareLaunch();
              if (StartBrowserOn(&mainTable, std::stoi(w[2])))
                  PauseAfterLaunch();
              FreeLocationTable(&mainTable);
          });
    // The system's major version at the main window's creation: the browser kind, the log.
    Check("Windows 3: 3 => 0Tarsel: Available for Windows 95 only (1030, owned)\n; Windows 95: 4 =>"
          " 2ERROR: no dial line entry:  (1040)\nEnableAutoDial=1\n",
          [](const string& in, Out out) {
              SetUpLaunch("-");
              BrowserKind = kNoBrowser;
              StartConnectionWork(reinterpret_cast<HWND>(&out), std::stoi(in));
              out << BrowserKind;
          });
}

TEST(Tarsel, WindowPosition) {
    // The client corner "x y": the window's edges on a 1024 x 768 screen from the file's numbers,
    // then what the corner as WM_MOVE reports it writes to the file.
    Check("inside: 103 124 => 100 100 1 103|124; lower bounds stay: 3 24 => 0 0 1 3|24; below them:"
          " 2 23 => 1 1 1 2|23; upper bounds stay: 867 732 => 864 708 1 867|732; above them: 868 73"
          "3 => 1 1 1 868|733; past the top left: -5 -1 => 1 1 1 65531|65535; beyond the screen: -2"
          "147483648 2147483647 => 1 1 1 0|65535; not opened [w1]: 103 124 => 100 100 0 oldHalvorn:"
          " Failed to open TARSEL.INI (1030)\n",
          [](const string& in, Out out) {
              int x = std::stoi(in), y = std::stoi(Split(in)[1]), left = -9, top = -9;
              WindowEdgesFor(x, y, 1024, 768, &left, &top);
              Put("tarsel.ini", "old");
              bool saved = SaveWindowPosition((y & 0xFFFF) << 16 | (x & 0xFFFF));
              out << left << " " << top << " " << saved << " " << Get("tarsel.ini");
          });
}

TEST(Tarsel, IdleMinutes) {
    // "on|off|step minutes typed|step": taken, minutes, text, change flag.
    Check(
        "10: on 20 10 => 1 10 10 1; above 59: on 20 75 => 1 59 59 1; below 3: on 20 2 => 1 3 3 1;"
        " 3 as typed: on 20 03 => 1 3 03 1; digit and letter: on 20 7x => 1 7 7x 1; two character"
        "s: on 20 123 => 1 12 12 1; auto-disconnect off: off 20 75 => 0 20 20 0; 58 up: step 58 1"
        " => 1 59 59 1; 59 up: step 59 1 => 0 59 59 0; 4 down: step 4 -1 => 1 3 3 1; 3 down: step"
        " 3 -1 => 0 3 3 0; 0 up: step 0 1 => 1 1 1 1; 80 down: step 80 -1 => 1 79 79 1; 80 up: st"
        "ep 80 1 => 0 80 80 0; no step: step 20 0 => 0 20 20 0; three digits: step 101 -1 => 1 10"
        "0 10 1; negative: step -9 1 => 1 -8 -8 1",
        [](const string& in, Out out) {
            Strings w = Split(in);
            ConnectionSettings& c = connectionSettings = {1, w[0] != "off", std::stoi(w[1]), "", 0};
            FormatIdleMinutesText();
            out << (w[0] == "step" ? StepIdleMinutes(std::stoi(w[2]))
                                   : TakeOverTypedMinutes(w[2].c_str()))
                << " " << c.idleMinutes << " " << c.idleMinutesText << " " << c.idleTimeChanged;
        });
}

} // namespace
#endif
