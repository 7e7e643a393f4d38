// Every reader of the program's files and registry values on arbitrary bytes, under ASan and
// UBSan. The first byte picks a rule, the next two a system call to fail (its kind, then which
// one), and the rest, split at '#', is the rule's input. None may leave a file or key open or an
// edit pending.
#include "tests/unit/rules.h"

#include <sstream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<string> in;
    std::istringstream parts(
        string(reinterpret_cast<const char*>(data), size).substr(size < 3 ? size : 3));
    for (string part; std::getline(parts, part, '#');)
        in.push_back(part);
    in.resize(in.size() + 9);
    auto number = [&](int i) { return atoi(in[i].c_str()); };
    freshStandIn = {};
    if (size > 2 && data[1] % 16 <= standin::kRegSet)
        freshStandIn.fail[data[1] % 16] = {data[2]};
    switch (size ? data[0] % 8 : 0) {
    case 0:
        Load(in[0]);
        break;
    case 1:
        Edited(in[0], {{in[1], in[2]}, {in[3], in[4]}, {in[5], in[6]}, {in[7], in[8]}, true});
        break;
    case 2:
        Place(in[0]);
        Start(in[0]);
        break;
    case 3:
        Read(in[0], in[1]);
        Written(standin::kRegSet, 0);
        break;
    case 4:
        Synced(in[0], number(1), number(2));
        break;
    case 5:
        Browser(in[0], in[1]);
        break;
    case 6:
        Go({number(0), in[1], in[2], number(3), number(4), UINT(number(5))});
        break;
    default:
        Typed(in[0].c_str(), number(1));
        Stepped(number(1), number(2));
    }
    static const PendingEdit kNoEdit = {};
    if (s.openFiles || s.openKeys || memcmp(&pendingEdit, &kNoEdit, sizeof kNoEdit))
        abort();
    return 0;
}
