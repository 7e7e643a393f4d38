// The portable code on the Win32 stand-in. A rule runs product code on its input's parts between
// '#' and writes what it gives; the tables' rows, joined by "; ", are "name: input => that, then
// the stand-in's log", with '|' for CR LF, '~' for NUL and "{N:x}" for x N times. "[W2 A1]" ending
// a name fails the 2nd WriteFile and 1st GlobalAlloc (letters: kCalls). Also the fuzz target.
#include "app/browser.h"
#include "app/launch.h"
#include "app/window_position.h"
#include "connection/connection_settings.h"
#include "connection/dial_registry.h"
#include "connection/idle_minutes.h"
#include "locations/list_rewrite.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <vector>

namespace {

using standin::s;
using std::string;
using Strings = std::vector<string>;
using Out = std::ostream&;
using Rule = void (*)(const Strings& in, Out out);

const string kSettings = "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\internet settings";

// Each process works in a folder of its own, gone at its end (the kill test's children _exit).
char folder[] = "/tmp/tarsel-test-XXXXXX";
const int made = (std::filesystem::current_path(mkdtemp(folder)),
                  atexit([] { std::filesystem::remove_all(folder); }));

// The text's parts between separators, at least `count` of them.
Strings Split(const string& text, const string& separator = " ", size_t count = 2) {
    Strings parts;
    for (size_t at = 0, end = 0; end != string::npos; at = end + separator.size())
        parts.push_back(text.substr(at, (end = text.find(separator, at)) - at));
    parts.resize(std::max(count, parts.size()));
    return parts;
}

auto Number = [](const string& text) { return atoi(text.c_str()); };

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
    s.keys[key] = value[0] == '!' ? Number(value.substr(1)) : 0;
    if (value != "-" && value[0] != '!')
        s.values[key + "\\" + name] = value;
}

// PendingEdit's eight texts in its order, separated by ',', then D and M for the chosen entries.
void SetEdit(const string& spec) {
    Strings f = Split(spec, ",", 9);
    PendingEdit& p = pendingEdit = {};
    char* texts[] = {p.addDescription,       p.addAddress,           p.deleteDescription,
                     p.deleteAddress,        p.modifyOldDescription, p.modifyOldAddress,
                     p.modifyNewDescription, p.modifyNewAddress};
    for (int i = 0; i < 8; ++i) // the addresses past the add's are the long ones
        snprintf(texts[i], i % 2 && i > 1 ? kMaxAddress + 1 : kPendingTextSize, "%s", f[i].c_str());
    p.deleteChosen = f[8].find('D') != string::npos;
    p.modifyChosen = f[8].find('M') != string::npos;
}

const PendingEdit kNoEdit = {};

// "urls.txt#pending edit": the result, then "urls.txt".
void Rewrite(const Strings& w, Out out) {
    SetEdit(w[1]);
    Put("urls.txt", w[0]);
    Put("urls.tmp", "left over");
    out << ApplyPendingEdits() << " " << Get("urls.txt");
    out << (memcmp(&pendingEdit, &kNoEdit, sizeof kNoEdit) ? " (edit still pending)" : "")
        << (std::filesystem::exists("urls.tmp") ? " (urls.tmp left)" : "");
}

// For editing or with the main window's limit: "+" if it holds a block, "description=address,"s.
template <bool limit> void Load(const Strings& w, Out out) {
    Put("urls.txt", w[0]);
    LocationTable t;
    out << (LoadLocationList(&t, "Failed to open URLS.TXT", limit) ? "" : "failed ")
        << (t.present ? "+" : "-");
    for (int i = 0; i < t.count; ++i)
        out << t.entries[i].description << "=" << t.entries[i].address << ",";
    FreeLocationTable(&t);
    FreeLocationTable(&t); // finds nothing left to free
}

// "dial.inf#disc.inf#idleMinutesText": the reading's result and three values, then the writing's
// result and the files, up to their comment lines (seen whole under Wine).
void Preferences(const Strings& w, Out out) {
    Put("dial.inf", w[0]);
    Put("disc.inf", w[1]);
    ConnectionSettings& c = connectionSettings = {41, 42, 43, "", 0};
    out << ReadConnectionSettings() << " " << c.autoDial << " " << c.autoDisconnect << " "
        << c.idleMinutes << " ";
    strncpy(c.idleMinutesText, w[2].c_str(), 3);
    auto head = [](const char* name) { return Get(name).substr(0, Get(name).find('f')); };
    out << WriteConnectionSettings() << " " << head("dial.inf") << "#" << head("disc.inf");
}

// The same bytes as "tarsel.ini" and "tarsel.inf": result, x, y, start value, whether it launches
// in a list of 5, StartIndex, exitAfterLaunch, edges on a 1024 x 768 screen, a move's writing.
void Places(const Strings& w, Out out) {
    Put("tarsel.ini", w[0]);
    Put("tarsel.inf", w[0]);
    int x = -1, y = -1, left = -9, top = -9;
    out << ReadWindowPosition(&x, &y) << " " << x << " " << y;
    exitAfterLaunch = false;
    ReadStartIndex();
    out << " " << StartIndex << " " << PrepareStartLaunch(5) << " " << StartIndex << " "
        << exitAfterLaunch;
    WindowEdgesFor(x, y, 1024, 768, &left, &top);
    bool saved = SaveWindowPosition((y & 0xFFFF) << 16 | (x & 0xFFFF));
    out << " " << left << " " << top << " " << saved << " " << Get("tarsel.ini");
}

// "value#seen#preference#flag#minutes" for both switches: both as synchronised, then the flag.
void Synchronise(const Strings& w, Out out) {
    SetValue(kSettings, "EnableAutoDial", w[0]);
    SetValue(kSettings, "EnableAutoDisconnect", w[0]);
    dialRegistryState = {Number(w[1]), Number(w[1])};
    connectionSettings = {Number(w[2]), Number(w[2]), Number(w[4]), "", Number(w[3])};
    SyncAutoDial();
    SyncAutoDisconnect();
    out << dialRegistryState.enableAutoDial << " " << dialRegistryState.enableAutoDisconnect << " "
        << connectionSettings.idleTimeChanged;
}

// "DefaultIcon#InternetProfile": the detection's result and kind, then the profile check.
void Detect(const Strings& w, Out out) {
    SetValue("HKCR\\HTTP\\DefaultIcon", "", w[0]);
    SetValue("HKCU\\RemoteAccess", "InternetProfile", w[1]);
    BrowserKind = kNoBrowser;
    out << DetectDefaultBrowser() << " " << BrowserKind;
    CheckDialProfile();
}

// "browser kind#start value#selected item#browser path#list#WinExec's result": what Go does.
void Go(const Strings& w, Out) {
    Put("dial.inf", "1\r\n");
    Put("disc.inf", "0\r\n10\r\n");
    Put("urls.txt", w[4]);
    SetValue(kSettings, "", "-");
    dialRegistryState = {1, 0}; // as the preference files have it: the registry stays
    connectionSettings = {};
    s.execResult = w[5].empty() ? 33 : Number(w[5]);
    for (string exe : {"Netscape.exe", "IEXPLORE.EXE"})
        SetValue("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe, "", w[3]);
    BrowserKind = Number(w[0]);
    StartIndex = Number(w[1]);
    LoadLocationList(&mainTable, "Failed to open URLS.TXT", false);
    strcpy(LaunchCommand, "left over");
    PrepareLaunch();
    if (StartBrowserOn(&mainTable, Number(w[2])))
        PauseAfterLaunch();
    FreeLocationTable(&mainTable);
}

// "on|off|step#minutes#typed|step": taken, minutes, text, change flag.
void IdleMinutes(const Strings& w, Out out) {
    ConnectionSettings& c = connectionSettings = {1, w[0] != "off", Number(w[1]), "", 0};
    FormatIdleMinutesText();
    out << (w[0] == "step" ? StepIdleMinutes(Number(w[2])) : TakeOverTypedMinutes(w[2].c_str()))
        << " " << c.idleMinutes << " " << c.idleMinutesText << " " << c.idleTimeChanged;
}

// What the rule writes for the input, then the log.
string Outcome(Rule rule, const string& in) {
    std::ostringstream out;
    rule(Split(in, "#", 6), out);
    out << s.log << (s.openFiles || s.openKeys ? " (left open)" : "");
    return out.str();
}

} // namespace

#ifdef TARSEL_FUZZ
// The first byte picks the rule, the next two a call to fail (past the last kind, none), the rest
// is the rule's input. Any input may show boxes; none may leave anything open or pending.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Rule rules[] = {Load<false>, Rewrite, Preferences, Places,
                          Synchronise, Detect,  Go,          IdleMinutes};
    s = standin::State();
    s.fail[size > 1 ? data[1] % 16 % 10 : 0].insert(size > 2 && data[1] % 16 < 10 ? data[2] : 0);
    string in(reinterpret_cast<const char*>(data), size);
    Outcome(rules[size ? data[0] % std::size(rules) : 0], in.substr(std::min<size_t>(size, 3)));
    if (s.openFiles || s.openKeys || memcmp(&pendingEdit, &kNoEdit, sizeof kNoEdit))
        abort();
    return 0;
}
#else
#include <gtest/gtest.h>

namespace {

const char kCalls[] = "rwRWFCMDAS";
// The program ends itself at the location limit: a test that ends it so has failed.
const int kEndedInTest =
    (testing::UnitTest::GetInstance(),
     atexit([] { testing::UnitTest::GetInstance()->current_test_info() ? _exit(1) : void(); }));

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

void Check(const string& table, Rule rule) {
    for (const string& row : Split(table, "; ", 1)) {
        size_t colon = row.find(": "), arrow = row.find(" => "), fail = row.find(" [");
        s = standin::State();
        SetLastError(ERROR_ACCESS_DENIED); // as an earlier call may leave it
        for (const string& call : Split(fail < colon ? row.substr(fail + 2, colon - fail - 3) : ""))
            if (!call.empty())
                s.fail[strchr(kCalls, call[0]) - kCalls].insert(std::stoi(call.substr(1)));
        string in = Expand(row.substr(colon + 2, arrow - colon - 2));
        EXPECT_EQ(Outcome(rule, in), Expand(row.substr(arrow + 4))) << row.substr(0, colon);
    }
}

TEST(Tarsel, FilesRegistryAndLaunchRules) {
    Check("count 0: 0|A|a| => -; blank and sign:  +2|A|a|B|b| => +A=a,B=b,; first four: "
          "00012|A|a|B|b| => +A=a,; bare LF: 2\nA\na\nB\nb => +A=a,B=b,; Ctrl-Z: 2|A|a|\x1a|B|b| "
          "=> +A=a,; short of its count: 3||a|B| => +=a,B=,; long lines cut: "
          "2|{250:d}|{400:a}|B|b| => +{199:d}={299:a},B=b,; 99 entries: 99|{99:x|y|} => "
          "+{99:x=y,}; out of memory [A1]: 1|A|a| => failed -Halvorn: Out of memory (1030)\n",
          Load<true>);
    Check("no limit for editing: 100|{100:x|y|} => +{100:x=y,}", Load<false>);
    Check("two lines: 103|124 => 1 103 124 103 1 2 1 100 100 1 103|124; signs, words: \t +7 "
          "px|-12| => 1 7 -12 7 0 0 0 4 1 1 7|65524; long lines: 1234567890123|50 => 1 123456789 "
          "50 1234 0 0 0 1 26 1 52501|50; lowest: 3|24 => 1 3 24 3 1 2 0 0 0 1 3|24; below: 2|23 "
          "=> 1 2 23 2 1 1 0 1 1 1 2|23; highest: 867|732 => 1 867 732 867 0 0 0 864 708 1 "
          "867|732; above: 868|733 => 1 868 733 868 0 0 0 1 1 1 868|733; negative: -5|-1 => 1 -5 "
          "-1 -5 0 0 0 1 1 1 65531|65535; not opened [w1]: 103|124 => 1 103 124 103 1 2 1 100 100 "
          "0 103|124Halvorn: Failed to open TARSEL.INI (1030)\n; 0: 0 => 1 0 0 0 0 0 0 1 1 1 0|0; "
          "first: 1 => 1 1 0 1 1 0 0 1 1 1 1|0; last: 5 => 1 5 0 5 1 4 0 2 1 1 5|0; past the last: "
          "6 => 1 6 0 6 0 0 0 3 1 1 6|0; hidden last: 105 => 1 105 0 105 1 4 1 102 1 1 105|0; 100: "
          "100 => 1 100 0 100 0 0 0 97 1 1 100|0",
          Places);
    Check(
        "add: 2|A|a|B|b|#N,n => 1 3|N|n|A|a|B|b|; delete: 2|A|a|B|b|#,,A,a => 0 1|B|b|; modify: "
        "2|A|a|B|b|#,,,,B,b,Z,z => 0 2|A|a|Z|z|; add to 99: 99|A|a|{98:x|y|}#N,n => 99 "
        "99|A|a|{98:x|y|}; delete, add to 99: 99|A|a|{98:x|y|}#N,n,A,a => 1 99|N|n|{98:x|y|}; "
        "first four: 00012|A|a|B|b|#N,n => 1 2|N|n|A|a|; count line kept: 2 x|A|a|B|b|#,,,,B,b,Z,z "
        "=> 0 2 x|A|a|Z|z|; count above entries: 3|A|a|B|b|#,,,,B,b,Z,z => 0 2|A|a|Z|z|; typed "
        "text one line: 2|A|a|B|b|#N\r\nX,n\nY\x1aZ => 1 3|N|n|A|a|B|b|; unterminated: "
        "2|A|a|B|b#N,n => 1 3|N|n|A|a|B|b; bare LF: 2\nA\na\nB\nb\n#,,B,b => 0 1|A|a|; long lines "
        "whole: 2|{250:d}|{9000:l}|B|b|#,,,,B,b,Z,z => 0 2|{250:d}|{9000:l}|Z|z|; cut line no "
        "match: 1|A|{300:a}|#,,A,{299:a} => 0 1|A|{300:a}|; widest modify: "
        "2|{199:D}|{299:A}|B|b|#,,,,{199:D},{299:A},{199:N},{299:A} => 0 2|{199:N}|{299:A}|B|b|; "
        "first twin: 3|A|a|B|b|A|a|#,,A,a => 0 2|B|b|A|a|; both twins: 3|A|a|B|b|A|a|#,,,,A,a,Z,z "
        "=> 0 3|Z|z|B|b|Z|z|; no match: 2\nA\na\nB\nb\n#,,A,x,C,c,Z,z => 0 2\nA\na\nB\nb\n; "
        "chosen: 2||e|B|b|#,,,e,,,,,D => 0 1|B|b|; not chosen: 2||e|B|b|#,,,e => 0 2||e|B|b|",
        Rewrite);
    Check("first line 10: 1|#10|5|# => 1 1 10 0 1 1|#1||; two characters: 1|#1|120|# => 1 1 1 12 1 "
          "1|#1||; no minutes: 0|#1|# => 1 0 1 43 1 0|#1||; no disc.inf: 1|#-#10 => 0 41 42 43 1 "
          "1|#1|10|Halvorn: Failed to open disc.inf - read (1030)\n; unended text: 0|#-1|#123 => 1 "
          "0 -1 0 1 0|#1|12|; disc.inf not opened [w2]: 0|#1|20|#10 => 1 0 1 20 0 0|#1|20|Halvorn: "
          "Failed to open disc.inf - write (1030)\n; dial.inf not written [W1]: 1|#1|10|#10 => 1 1 "
          "1 10 0 #1|10|Halvorn: Failed to write dial.inf (1030)\n; disc.inf not closed [C4]: "
          "1|#1|10|#10 => 1 1 1 10 0 1|#1|10|Halvorn: Failed to write disc.inf (1030)\n",
          Preferences);
    Check("absent, on: -#0#7#0#10 => 1 1 "
          "0EnableAutoDial=1\nEnableAutoDisconnect=1\nDisconnectIdleTime=10\n; off, on, flagged: "
          "~~~~#1#1#1#10 => 1 1 "
          "0EnableAutoDial=1\nEnableAutoDisconnect=1\nDisconnectIdleTime=10\nDisconnectIdleTime="
          "10\n; on, off, flagged: \x01~~~#0#0#1#10 => 0 0 "
          "0EnableAutoDial=0\nDisconnectIdleTime=10\nEnableAutoDisconnect=0\n; long, on: "
          "\x01{299:~}#0#1#0#10 => 1 1 0; minutes: ~~~~#0#7#0#67305985 => 1 1 "
          "0EnableAutoDial=1\nEnableAutoDisconnect=1\nDisconnectIdleTime=67305985\n; refused "
          "switch [S1]: -#0#1#0#10 => 0 1 0EnableAutoDisconnect=1\nDisconnectIdleTime=10\n; "
          "refused minutes [S3 S4]: -#0#1#0#10 => 1 1 1EnableAutoDial=1\nEnableAutoDisconnect=1\n; "
          "no key: !2#0#1#1#10 => 0 0 1ERROR: open auto dial failed(registry): File not found. "
          "(40)\nERROR: open auto disconnect failed(registry): File not found. (40)\n",
          Synchronise);
    Check("10: on#20#10 => 1 10 10 1; above 59: on#20#75 => 1 59 59 1; below 3: on#20#2 => 1 3 3 "
          "1; two characters: on#20#123 => 1 12 12 1; auto-disconnect off: off#20#75 => 0 20 20 0; "
          "58 up: step#58#1 => 1 59 59 1; 59 up: step#59#1 => 0 59 59 0; 4 down: step#4#-1 => 1 3 "
          "3 1; 3 down: step#3#-1 => 0 3 3 0; 80 down: step#80#-1 => 1 79 79 1; no step: step#20#0 "
          "=> 0 20 20 0; three digits: step#101#-1 => 1 100 10 1",
          IdleMinutes);
    Check("no NUL: C:\\N\\NETSCAPE.EXE#AB => 1 1; URL.DLL: URL.DLL~#AB => 1 2; in order: url.dll "
          "netscape.exe~#AB => 1 1; case counts: Netscape.exe~#AB => 0 0ERROR: Default Browser Not "
          "Supported: Netscape.exe (1040)\n; too long: {2000:a}#AB => 0 0ERROR: Default Browser "
          "Not Supported:  (1040)\n; no text: !1234#AB => 0 0ERROR: open default browser failed: "
          "Error 1234 (40)\n; no profile: url.dll~#- => 1 2ERROR: no dial line entry:  (1040)\n; "
          "one character: url.dll~#A~ => 1 2ERROR: no dial line entry: A (1040)\n; fills: "
          "url.dll~#{200:P} => 1 2; no RemoteAccess: url.dll~#!2 => 1 2ERROR: Failed to get "
          "Netscape installation directory: File not found. (40)\n",
          Detect);
    Check("fills it: abcdefghijk#12 => 1 abcdefghijk; one more: a b c d ef#12 => 0 ; tab quoted: "
          "a\tb#6 => 1 \"a\tb\"; quoted stays: \"a b\"#6 => 1 \"a b\"; no room: abc#0 => 0 x",
          [](const Strings& w, Out out) { // "path#size (below 16)": whether it fits, the command
              char c[16] = "x";
              out << SetBrowserPath(c, Number(w[1]) & 15, w[0].c_str()) << " " << c;
          });
    Check(
        "Netscape: 1#0#1#C:\\N.EXE~#2|A|a|B|b| => exec C:\\N.EXE b\n; longest: 2#0#0#C:\\{1020: "
        "}~#1|A|{299:a}| => exec \"C:\\{1020: }\" {299:a}\n; no browser: 0#0#0#x~#1|A|a| => exec  "
        "a\n; no App Paths key: 2#0#0#!2#1|A|a| => ERROR: Failed to get Internet Explorer "
        "installation directory: File not found. (40)\nexec  a\n; start-up launch pauses: "
        "2#2#0#x~#1|A|a| => exec x a\nsleep 1500\n; none selected: 2#1#-1#x~#1|A|a| => ; past the "
        "last: 2#1#1#x~#1|A|a| => ; out of memory: 2#0#0#x~#1|A|a|#0 => exec x a\nERROR: Failed to "
        "start the browser: Error 8 (40)\n; fails, no path: 0#0#0#x~#1|A|a|#2 => exec  a\n",
        Go);
}

// The list is the old one (and the call's box) or the whole new one whatever goes wrong: each
// system call of a rewrite fails in turn; a child adding and deleting entries is killed at random
// moments (TARSEL_KILLS times, 150 unless set), leaving a list that the edits pass through.
TEST(Tarsel, ListRewriteIsAllOrNothing) {
    const string box[] = {"open URLS.LST",  "open URLS.TMP",  "open URLS.LST",
                          "write URLS.TMP", "write URLS.TMP", "write URLS.TMP"};
    string old = "91|D|A|", edits[] = {"#N,n", "#,,D,A", "#,,,,D,A,M,m"}; // add, delete, modify
    for (int i = 0; i < 90; ++i)
        old += "{199:d}|{299:a}|";
    old = Expand(old);
    int points = 0;
    for (int op = 0; op < 3; ++op) {
        s = standin::State();
        const string fresh = Outcome(Rewrite, old + edits[op]);
        const standin::State clean = s;
        ASSERT_EQ(clean.calls[standin::kFlush], 1)
            << "the new list goes to disk before it replaces";
        for (int kind = standin::kOpenRead; kind <= standin::kDelete; ++kind)
            for (int nth = 1; nth <= clean.calls[kind]; ++nth, ++points) {
                s = standin::State();
                s.fail[kind] = {nth};
                string expected = // a reader's close may fail unseen, not the last
                    kind < standin::kClose || (kind == standin::kClose && nth == clean.calls[kind])
                        ? "0 " + old + "Halvorn: Failed to " + box[kind] + " (1030)\n"
                        : fresh;
                if (kind == standin::kMove)
                    expected = fresh.substr(0, 2) + old + "Copy Failed: urls.tmp to urls.txt (" +
                               std::to_string(op + 1) + ") (1030)\n";
                EXPECT_EQ(Outcome(Rewrite, old + edits[op]), expected)
                    << edits[op] << ", call " << kind << " #" << nth;
            }
    }
    const string start = Expand("3|A|a|B|b|C|c|");
    std::set<string> lists = {start}, seen;
    auto apply = [&] { // entry i / 2 added when i is even, deleted when it is odd
        for (int i = 0; i < 120; ++i) {
            SetEdit((i % 2 ? ",,N" : "N") + std::to_string(i / 2) + ",n");
            ApplyPendingEdits();
            lists.insert(Get("urls.txt"));
        }
    };
    s = standin::State();
    Put("urls.txt", start);
    auto begin = std::chrono::steady_clock::now();
    apply();
    auto took = (std::chrono::steady_clock::now() - begin) / std::chrono::microseconds(1);
    int kills = getenv("TARSEL_KILLS") ? atoi(getenv("TARSEL_KILLS")) : 150;
    for (int kill = 0; kill < kills; ++kill) {
        Put("urls.txt", start);
        pid_t child = fork();
        if (child == 0)
            apply(), _exit(0);
        usleep(static_cast<useconds_t>(rand() % took));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        ASSERT_TRUE(child > 0 && lists.count(Get("urls.txt"))) << "kill " << kill;
        seen.insert(Get("urls.txt"));
    }
    printf("[ all or nothing ] %d failure points, %d kills, %zu of 61 lists seen after one\n",
           points, kills, seen.size());
    EXPECT_TRUE(points > 100 && seen.size() > 1);
}

} // namespace
#endif
