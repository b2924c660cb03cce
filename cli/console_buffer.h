// The stream buffer bqdm writes its standard output and error through. It
// keeps why the first write failed, so the failure can be reported with its
// reason, converts Windows-1252 text to UTF-8 for a UTF-8 terminal, and on
// a terminal shows control characters escaped, so that an extract, a CSV or
// a file name cannot move the cursor, retitle the window or write the
// clipboard. Pipes and files get the bytes as they are.
#pragma once

#include <cstdio>
#include <streambuf>
#include <string>
#include <string_view>

namespace bq::cli {

enum class Encoding { AsIs, Utf8From1252 };

// What becomes of control characters: kept, for pipes and files; or shown
// escaped, for a terminal: the C0 controls but line feed and tab as "\x1b",
// DEL as "\x7f", and the C1 controls that Windows-1252's five undefined
// bytes stand for as "\u009d" (as "\x9d" when the bytes go as they are).
enum class Controls { Kept, Escaped };

class ConsoleBuffer : public std::streambuf {
  public:
    ConsoleBuffer(std::FILE* file, Encoding encoding, Controls controls = Controls::Kept)
        : file_(file), encoding_(encoding), controls_(controls), raw_(*this) {}
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;
    ~ConsoleBuffer() override { sync(); }
    // True once a write has failed; later writes are dropped.
    bool Failed() const { return failed_; }
    // The errno of the first failed write; 0 when none was given.
    int Error() const { return error_; }
    // The same output for bqdm's own control characters, such as the
    // progress bar's carriage return: neither converted nor escaped.
    std::streambuf& Raw() { return raw_; }

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

  private:
    class RawBuffer : public std::streambuf {
      public:
        explicit RawBuffer(ConsoleBuffer& console) : console_(console) {}

      protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override { return console_.sync(); }

      private:
        ConsoleBuffer& console_;
    };

    bool Put(std::string_view bytes);
    bool PutRaw(std::string_view bytes);
    bool WritePending();

    std::FILE* file_;
    Encoding encoding_;
    Controls controls_;
    RawBuffer raw_;
    std::string pending_;
    bool failed_ = false;
    int error_ = 0;
};

}  // namespace bq::cli
