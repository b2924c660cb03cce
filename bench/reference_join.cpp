// The floor the merge is measured against: the least work that still turns
// an extract into rows of comma-joined values. No checking, no quoting, one
// read and one write, so whatever the merge spends beyond this is its own.
// Usage: reference_join N FILE OUT   (N = supplied fields per record)
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
    const long n = argc == 4 ? std::atol(argv[1]) : 0;
    if (n <= 0) {
        std::cerr << "usage: reference_join N FILE OUT\n";
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary | std::ios::ate);
    std::string data(in ? static_cast<size_t>(in.tellg()) : 0, '\0');
    in.seekg(0);
    if (!in.read(data.data(), static_cast<std::streamsize>(data.size()))) return 1;
    std::string out;
    out.reserve(data.size());  // each CR LF becomes ',' or stays: never longer
    long lineNo = 0, inGroup = 0;
    for (size_t pos = 0, end; pos < data.size(); pos = end + 2) {
        end = std::min(data.find('\r', pos), data.size());
        const std::string_view line(data.data() + pos, end - pos);
        if (++lineNo <= 3) continue;  // FORM, KEY, {BEGIN DATA}
        if (line == "{END DATA}") break;
        out.append(line);
        if (++inGroup < n) {
            out.push_back(',');
        } else {
            out.append("\r\n");
            inGroup = 0;
        }
    }
    std::ofstream file(argv[3], std::ios::binary);
    return file.write(out.data(), static_cast<std::streamsize>(out.size())) ? 0 : 1;
}
