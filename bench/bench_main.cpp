#include "cases.h"

#include <cstdio>
#include <exception>
#include <map>
#include <string>

// wrenfold_bench CASE FOLDER [REPEATS [FILES]]: one benchmark case, printed as rows of scripts/bench.sh's
// table. FOLDER holds the data sets, made there on first use. FILES (10000) is the number of patch files, to
// be made smaller under valgrind.
int main(int argc, char** argv) {
    const std::map<std::string, void (*)(const bench::CaseOptions&)> cases{
        {"merge-small", bench::runMergeSmall},
        {"merge-large", bench::runMergeLarge},
        {"drop", bench::runDrop},
        {"drop-once", bench::runDropOnce},
    };
    const auto found = argc >= 3 ? cases.find(argv[1]) : cases.end();
    if (found == cases.end()) {
        std::fprintf(stderr, "usage: %s merge-small|merge-large|drop FOLDER [REPEATS [FILES]]\n", argv[0]);
        return 2;
    }
    try {
        bench::CaseOptions options{argv[2]};
        if (argc >= 4)
            options.repeats = std::stoi(argv[3]);
        if (argc >= 5)
            options.files = std::stoi(argv[4]);
        found->second(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s %s: %s\n", argv[0], argv[1], e.what());
        return 1;
    }
    return 0;
}
