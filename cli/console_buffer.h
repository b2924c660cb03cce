// The stream buffer bqdm writes its standard output and error through. It
// keeps why the first write failed, so the failure can be reported with its
// reason, and converts Windows-1252 text to UTF-8 for a UTF-8 terminal.
#pragma once

#include <cstdio>
#include <streambuf>
#include <string>
#include <string_view>

namespace bq::cli {

enum class Encoding { AsIs, Utf8From1252 };

class ConsoleBuffer : public std::streambuf {
  public:
    ConsoleBuffer(std::FILE* file, Encoding encoding) : file_(file), encoding_(encoding) {}
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;
    ~ConsoleBuffer() override { sync(); }
    // True once a write has failed; later writes are dropped.
    bool Failed() const { return failed_; }
    // The errno of the first failed write; 0 when none was given.
    int Error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

  private:
    bool Put(std::string_view bytes);
    bool WritePending();

    std::FILE* file_;
    Encoding encoding_;
    std::string pending_;
    bool failed_ = false;
    int error_ = 0;
};

}  // namespace bq::cli
