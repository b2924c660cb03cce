// A Screen for tests without any toolkit: answers come from queues filled
// in advance, and everything the flows show or ask is recorded.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "shell/screen.h"
#include "tests/script.h"

namespace bq::test {

// A printer that records what it is given: `width` per byte, on pages of the given size.
class RecordingPrintJob : public shell::PrintJob {
  public:
    struct Log {
        std::string title;
        std::vector<std::vector<std::string>> pages;
        std::vector<int> lineTops;  // of the first page
        bool ended = false;
        bool busyWhilePrinting = false;
    };
    RecordingPrintJob(Log& log, const int& busy, int pageWidth, int pageHeight)
        : log_(log), busy_(busy), width_(pageWidth), height_(pageHeight) {}
    int PageWidth() const override { return width_; }
    int PageHeight() const override { return height_; }
    int LineHeight() const override { return 10; }
    int TextWidth(std::string_view text) const override { return 7 * static_cast<int>(text.size()); }
    void Begin(std::string_view title) override {
        log_.title = title;
        log_.busyWhilePrinting = busy_ > 0;
        log_.pages.emplace_back();
    }
    void NewPage() override { log_.pages.emplace_back(); }
    void PrintLine(int y, std::string_view text) override {
        log_.pages.back().emplace_back(text);
        if (log_.pages.size() == 1) log_.lineTops.push_back(y);
    }
    void End() override { log_.ended = true; }

  private:
    Log& log_;
    const int& busy_;
    int width_, height_;
};

class ScriptedScreen : public shell::Screen {
  public:
    struct Box {
        std::string caption;
        std::string text;
        shell::Icon icon;
        shell::Buttons buttons;
        bool busy;  // the hour-glass was showing

        bool operator==(const Box&) const = default;
        friend void PrintTo(const Box& b, std::ostream* os) {
            *os << "{\"" << b.caption << "\", \"" << b.text << "\", icon " << static_cast<int>(b.icon)
                << ", buttons " << static_cast<int>(b.buttons) << (b.busy ? ", busy}" : "}");
        }
    };
    struct Dialog {
        shell::FileDialog wanted;
        bool save;
    };

    Replies<shell::Answer> answers;     // an unanswered question gets No
    Replies<std::string> files;         // an empty name, or none, cancels
    Replies<bool> printers;             // true accepts the printer set-up; none cancels
    std::function<void()> whileAsking;  // runs while a Yes/No question is open
    std::function<void()> whileShown;   // runs while any box is open

    std::vector<Box> boxes;
    std::vector<Dialog> dialogs;
    std::vector<std::string> events;  // "beep", "template", "close", "printer"
    RecordingPrintJob::Log printed;
    int busy = 0;
    int kept = 0;  // calls to KeepResponsive

    shell::Answer Message(std::string_view caption, std::string_view text, shell::Icon icon,
                          shell::Buttons buttons) override {
        boxes.push_back({std::string(caption), std::string(text), icon, buttons, busy > 0});
        if (whileShown) whileShown();
        if (buttons == shell::Buttons::Ok) return shell::Answer::Ok;
        if (whileAsking) whileAsking();
        return answers.Next(shell::Answer::No);
    }
    void Beep() override { events.push_back("beep"); }
    void SetBusy(bool on) override { busy += on ? 1 : -1; }
    void KeepResponsive() override { ++kept; }
    std::optional<std::string> ChooseFileToOpen(const shell::FileDialog& d) override {
        return Choose(d, false);
    }
    std::optional<std::string> ChooseFileToSave(const shell::FileDialog& d) override {
        return Choose(d, true);
    }
    std::unique_ptr<shell::PrintJob> SetUpPrinter() override {
        events.push_back(busy > 0 ? "printer (busy)" : "printer");
        if (!printers.Next(false)) return nullptr;
        return std::make_unique<RecordingPrintJob>(printed, busy, 70, 30);
    }
    void ShowTemplateWindow() override { events.push_back("template"); }
    void CloseMainWindow() override { events.push_back("close"); }
    void Redraw(shell::MainWindowPart) override {}

  private:
    std::optional<std::string> Choose(const shell::FileDialog& d, bool save) {
        dialogs.push_back({d, save});
        return NextFile(files);
    }
};

}  // namespace bq::test
