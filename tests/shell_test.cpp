// The application's flows as a user meets them, through a scripted screen:
// every box, question and file the user would see, with no toolkit linked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "extract/template_text.h"
#include "schema/form_fields.h"
#include "schema/type_codes.h"
#include "shell/command_line.h"
#include "shell/error_display.h"
#include "shell/file_dialog_rules.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "tests/reference_row.h"
#include "tests/samples.h"
#include "tests/scripted_screen.h"
#include "tests/temp_folder.h"
#include "tests/test_platform.h"
#include "verify/merge_output.h"

namespace bq {
namespace {

using shell::Answer;
using shell::Buttons;
using shell::Icon;
using test::Extract1099A;
using test::FieldOfCode;
using test::k1099A;

// The output line of a record of Extract1099A() whose value is `value`.
std::string OutputLine(const std::string& value) {
    std::vector<std::string> row;
    for (const FieldDescriptor& d : test::FieldsOf(k1099A)) row.emplace_back(OutputDefault(TypeCodeOf(d)));
    row[FieldOfCode('$')] = value;
    return test::EncodeRow(row);
}

using Box = test::ScriptedScreen::Box;

// The question asked before the output of `extract`, a verified Extract1099A(), is saved.
Box Confirmation(const std::string& extract) {
    return {"Successful Verification",
            "EXTRACT: " + extract +
                "\r\n\r\nRETURNS: 1099-A\r\nRECORDS: 2\r\n\r\nREPORTING YEAR: 2018\r\n\r\n"
                "Do you want to save the output for merging with Brisquill?",
            Icon::Question, Buttons::YesNo, false};
}

// The box shown once the output of `extract`, an Extract1099A(), is saved.
Box Instructions(const std::string& extract) {
    return {"Data Extract Import Instructions", ImportInstructions(extract, "1099-A"), Icon::None,
            Buttons::Ok, false};
}

// The application error display showing `message`.
Box Failure(const std::string& message) {
    return {"Brisquill Data Merge Module ", message, Icon::Stop, Buttons::Ok, false};
}

class Shell : public test::TempFolder {
  protected:
    std::string OutputOf(const std::string& name) { return (dir / ("2018DM_" + name)).string(); }
    bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    test::ScriptedScreen screen;
    test::RecordingRegistry registry;
    shell::TemplateWindow templateWindow{screen};
    shell::MainWindow window{screen, templateWindow, "/opt/bq/BQ2018DM", &registry};
};

TEST_F(Shell, VerifyAsksBeforeSavingThenTellsHowToImport) {
    const std::string path = Write("good.txt", Extract1099A());
    screen.files.push_back(path);
    screen.answers.push_back(Answer::Yes);
    window.bVerifyClick();

    ASSERT_EQ(screen.dialogs.size(), 1u);
    EXPECT_EQ(screen.dialogs[0].wanted.filter, "Text files (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_EQ(screen.dialogs[0].wanted.defaultExtension, "TXT");
    EXPECT_EQ(screen.events, std::vector<std::string>{"beep"});
    EXPECT_EQ(screen.boxes, (std::vector<Box>{Confirmation(path), Instructions(path)}));
    EXPECT_EQ(Read(OutputOf("good.txt")), OutputLine("ALPHA") + "\r\n" + OutputLine("BETA") + "\r\n");
    EXPECT_EQ(registry.folders, std::vector<std::string>{(dir / "").string()});
    EXPECT_EQ(screen.busy, 0);
    EXPECT_EQ(screen.kept, 1);  // the windows could repaint during the work
    // The list now shows the extract's form and ticks.
    EXPECT_EQ(window.Selector().Text(), "1099-A");
    EXPECT_TRUE(window.Session().Selection().Fields()[FieldOfCode('$')].checked);
    EXPECT_TRUE(window.DisplayEnabled());
}

TEST_F(Shell, NoSavesNothingAndACancelledOpenDialogAsksNothing) {
    const std::string path = Write("good.txt", Extract1099A());
    screen.files.push_back(path);
    window.bVerifyClick();
    EXPECT_EQ(screen.boxes, std::vector<Box>{Confirmation(path)});
    EXPECT_FALSE(Exists(OutputOf("good.txt")));
    EXPECT_TRUE(registry.folders.empty());

    window.bVerifyClick();
    EXPECT_EQ(screen.dialogs.size(), 2u);
    EXPECT_EQ(screen.boxes.size(), 1u);
}

TEST_F(Shell, TheOutputWaitsBesideTheExtractUntilTheUserSaysYes) {
    const std::string path = Write("good.txt", Extract1099A());
    Write("2018DM_good.txt", "previous\r\n");
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        screen.files.push_back(path);
        screen.answers.push_back(answer);
        std::vector<std::string> asked;
        std::string previous;
        screen.whileAsking = [&] {
            asked = Entries(dir);
            previous = Read(OutputOf("good.txt"));
        };
        window.bVerifyClick();
#ifdef _WIN32
        // One finished temporary file beside the extract, "~bq....tmp".
        ASSERT_EQ(asked.size(), 3u);
        EXPECT_EQ(std::count_if(asked.begin(), asked.end(),
                                [](const std::string& name) {
                                    return name.find("~bq") == 0 && name.substr(name.size() - 4) == ".tmp";
                                }),
                  1);
#else
        // The finished output waits unnamed, so that nothing of it is left
        // however the program ends.
        EXPECT_EQ(asked, (std::vector<std::string>{"2018DM_good.txt", "good.txt"}));
#endif
        // The previous output untouched meanwhile.
        EXPECT_EQ(previous, "previous\r\n");
        EXPECT_EQ(Entries(dir), (std::vector<std::string>{"2018DM_good.txt", "good.txt"}));
    }
    EXPECT_EQ(Read(OutputOf("good.txt")), OutputLine("ALPHA") + "\r\n" + OutputLine("BETA") + "\r\n");
}

TEST_F(Shell, AnOutputThatCannotBeCreatedIsToldOnlyAfterYes) {
    const std::string path = Write("good.txt", Extract1099A());
    std::filesystem::create_directory(OutputOf("good.txt"));
    screen.files.push_back(path);
    screen.answers.push_back(Answer::Yes);
    window.bVerifyClick();
#ifdef _WIN32
    const std::string reason = SystemText(ERROR_DIRECTORY);
#else
    const std::string reason = std::strerror(EISDIR);
#endif
    EXPECT_EQ(screen.boxes,
              (std::vector<Box>{Confirmation(path),
                                Failure(DisplayedMessage("Cannot create file \"" + OutputOf("good.txt") +
                                                         "\". " + reason))}));
    EXPECT_TRUE(registry.folders.empty());
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"2018DM_good.txt", "good.txt"}));
}

TEST_F(Shell, FailedVerificationShowsOneStopBoxWithAFullStop) {
    const std::string path = Write("bad.txt", "NOT A FORM\r\n");
    screen.files.push_back(path);
    window.bVerifyClick();
    EXPECT_EQ(screen.boxes,
              std::vector<Box>{Failure("FORM segment not found.\r\n\r\nEXTRACT = " + path + ".")});
    EXPECT_TRUE(screen.events.empty());
    EXPECT_EQ(screen.busy, 0);
}

TEST_F(Shell, CommandLineExtractIsConvertedWithoutQuestionsAndTheWindowCloses) {
    const std::string path = Write("good.txt", Extract1099A());
    window.FormShow(" \t" + path + "  ");
    EXPECT_EQ(screen.boxes, std::vector<Box>{Instructions(path)});
    EXPECT_EQ(Read(OutputOf("good.txt")), OutputLine("ALPHA") + "\r\n" + OutputLine("BETA") + "\r\n");
    EXPECT_EQ(registry.folders.size(), 1u);
    EXPECT_EQ(screen.events, std::vector<std::string>{"close"});
}

TEST_F(Shell, FailingCommandLineExtractLeavesTheWindowOpenWithItsForm) {
    const std::string path = Write("nodata.txt", Extract1099A("ALPHA\r\n"));
    window.FormShow(path);
    EXPECT_EQ(screen.boxes,
              std::vector<Box>{Failure("{BEGIN DATA} not found.\r\n\r\nEXTRACT = " + path + ".")});
    EXPECT_TRUE(screen.events.empty());
    EXPECT_EQ(window.Selector().Text(), "1099-A");
    EXPECT_TRUE(window.Session().Selection().Fields()[FieldOfCode('$')].checked);
    EXPECT_TRUE(window.DisplayEnabled());
    EXPECT_FALSE(Exists(OutputOf("nodata.txt")));
}

// The application that wrote the extract may rename, delete or replace it
// while any box is up: the error, the confirmation, the instructions.
TEST_F(Shell, NoBoxKeepsTheExtractOpen) {
    const std::string good = Write("good.txt", Extract1099A()), bad = Write("bad.txt", "NOT A FORM\r\n");
    std::vector<std::string> held;
    std::string shown;
    screen.whileShown = [&] {
        if (HeldOpen(shown)) held.push_back(screen.boxes.back().caption);
    };
    shown = good;
    screen.files = {good, bad};
    screen.answers.push_back(Answer::Yes);
    window.bVerifyClick();
    shown = bad;
    window.bVerifyClick();
    shown = good;
    window.FormShow(good);
    shown = bad;
    window.FormShow(bad);
    EXPECT_EQ(screen.boxes.size(), 5u);
    EXPECT_EQ(held, std::vector<std::string>{});
    // Saved from the output verified, with the extract closed meanwhile.
    EXPECT_EQ(Read(OutputOf("good.txt")), OutputLine("ALPHA") + "\r\n" + OutputLine("BETA") + "\r\n");
}

TEST_F(Shell, MissingCommandLineExtractShowsTheUsageAndStaysInteractive) {
    const std::string path = (dir / "absent.txt").string();
    window.FormShow(path);
    window.FormShow(dir.string());  // a folder is no extract either
    window.FormShow("");
    window.FormShow(" \t ");
    const auto usage = [](const std::string& extract) {
        return Box{"Brisquill Data Merge Module [ 2018 ]",
                   "Failed to open data extract:\r\n\r\n" + extract + "\r\n\r\nUsage: BQ2018DM" +
                       " \"File specification\"\r\n\r\n"
                       "\"File specification\" = fully qualified file name of your data extract!",
                   Icon::Warning, Buttons::Ok, false};
    };
    EXPECT_EQ(screen.boxes, (std::vector<Box>{usage(path), usage(dir.string())}));
    EXPECT_TRUE(screen.events.empty());
}

TEST(CommandLine, FirstArgumentTakesQuotedBlanksWhole) {
    EXPECT_EQ(shell::FirstArgument("BQ2018DM.exe"), "");
    EXPECT_EQ(shell::FirstArgument("BQ2018DM.exe   "), "");
    EXPECT_EQ(shell::FirstArgument("BQ2018DM.exe C:\\x.txt more"), "C:\\x.txt");
    EXPECT_EQ(shell::FirstArgument("\"C:\\Program Files\\BQ2018DM.exe\" \"C:\\My Data\\x.txt\""),
              "C:\\My Data\\x.txt");
    EXPECT_EQ(shell::FirstArgument("BQ2018DM C:\\My\" \"Data\\x.txt"), "C:\\My Data\\x.txt");
}

TEST_F(Shell, TypeAheadCompletesToTheFirstFormAndDeletingKeepsTheText) {
    window.coFormType("1099-i");
    EXPECT_EQ(window.Selector().Text(), "1099-INT");
    EXPECT_EQ(window.Selector().TypedLength(), 6u);
    EXPECT_EQ(window.Session().Selection().FormIndex(), 19);
    EXPECT_EQ(window.ColumnCaption(), "CHECK ALL FIELDS FOR WHICH YOU WILL BE SUPPLYING DATA");
    window.coFormType("1099-I");  // the offered rest deleted
    EXPECT_EQ(window.Selector().Text(), "1099-I");
    EXPECT_EQ(window.Session().Selection().FormIndex(), 19);
    window.coFormType("ZZ");
    EXPECT_EQ(window.Selector().Text(), "ZZ");
    EXPECT_EQ(window.Selector().Position(), -1);
    EXPECT_TRUE(window.Session().Selection().Fields().empty());
    EXPECT_EQ(window.ColumnCaption(), "TO CREATE A NEW TEMPLATE, SELECT A TAX FORM FROM THE DROP DOWN LIST");
    window.coFormPick(32);
    EXPECT_EQ(window.Selector().Text(), "W-2G");
    EXPECT_EQ(window.Session().Selection().FormIndex(), 36);
    // Picking the form already shown keeps the ticks.
    window.lvDestinationCheckStateChange(3, true);
    window.coFormPick(32);
    EXPECT_TRUE(window.Session().Selection().Fields()[3].checked);
    EXPECT_TRUE(window.DisplayEnabled());
}

TEST_F(Shell, TicksSelectAndExplainTheRowAndEnableDisplay) {
    window.coFormPick(k1099A - 4);
    const size_t text = FieldOfCode('$'), money = FieldOfCode('c');
    EXPECT_FALSE(window.DisplayEnabled());
    window.lvDestinationCheckStateChange(text, true);
    EXPECT_EQ(window.SelectedRow(), static_cast<int>(text));
    EXPECT_EQ(window.Hint(), "STRING DATA - No special formatting required");
    EXPECT_TRUE(window.DisplayEnabled());
    window.lvDestinationCheckStateChange(money, true);
    EXPECT_EQ(window.Hint(), "CURRENCY - Cannot be negative");
    window.lvDestinationCheckStateChange(money, false);
    EXPECT_EQ(window.Hint(), "");
    EXPECT_TRUE(window.DisplayEnabled());
    window.lvDestinationCheckStateChange(text, false);
    EXPECT_FALSE(window.DisplayEnabled());
    window.lvDestinationSelectItem(FieldOfCode('D'));
    EXPECT_EQ(window.Hint(), "DATE - Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)");
}

TEST_F(Shell, VerifyingAnotherFormsExtractSwitchesToItsFormAndTicks) {
    window.coFormType("W-2C");
    window.lvDestinationCheckStateChange(0, true);
    window.lvDestinationCheckStateChange(5, true);
    screen.files.push_back(Write("good.txt", Extract1099A()));
    window.bVerifyClick();
    EXPECT_EQ(window.Selector().Text(), "1099-A");
    EXPECT_EQ(window.Session().Selection().CountChecked(), 1u);
    EXPECT_EQ(window.Hint(), "");
}

TEST_F(Shell, DisplayShowsTheTemplateOfTheTickedFields) {
    window.coFormType("1099-A");
    window.lvDestinationCheckStateChange(FieldOfCode('$'), true);
    window.bDisplayClick();
    EXPECT_EQ(screen.events, std::vector<std::string>{"template"});
    std::vector<std::string> captions;
    for (const FieldDescriptor& d : test::FieldsOf(k1099A)) captions.emplace_back(CaptionOf(d));
    std::vector<bool> ticks(captions.size(), false);
    ticks[FieldOfCode('$')] = true;
    EXPECT_EQ(templateWindow.Lines(), TemplateLines("1099-A", captions, ticks, "BQ2018DM"));
}

TEST_F(Shell, TemplateIsSavedWithCrLfUnderItsProposedName) {
    templateWindow.Fill({"FORM W-2", "KEY 00210", "{BEGIN DATA}"});
    const std::string path = (dir / "t.txt").string();
    screen.files.push_back(path);
    templateWindow.bSaveClick();
    ASSERT_EQ(screen.dialogs.size(), 1u);
    EXPECT_TRUE(screen.dialogs[0].save);
    EXPECT_EQ(screen.dialogs[0].wanted.title, "SAVE FORM W-2 TEMPLATE");
    EXPECT_EQ(screen.dialogs[0].wanted.proposedName, "FORM W-2 TEMPLATE.txt");
    EXPECT_EQ(screen.dialogs[0].wanted.filter, "Text Files|*.txt");
    EXPECT_EQ(screen.dialogs[0].wanted.defaultExtension, "TXT");
    EXPECT_EQ(Read(path), "FORM W-2\r\nKEY 00210\r\n{BEGIN DATA}\r\n");
    EXPECT_TRUE(screen.boxes.empty());

    templateWindow.bSaveClick();  // cancelled: nothing written
    EXPECT_EQ(Read(path), "FORM W-2\r\nKEY 00210\r\n{BEGIN DATA}\r\n");
}

TEST_F(Shell, PrintingWaitsForThePrinterThenRunsLinesOverPages) {
    templateWindow.Fill({"FORM W-2", std::string(25, 'A'), "", "B"});
    templateWindow.bPrintClick();  // cancelled
    EXPECT_TRUE(screen.printed.pages.empty());
    screen.printers.push_back(true);
    templateWindow.bPrintClick();
    // The hour-glass shows while the job runs, not while the user chooses the printer.
    EXPECT_EQ(screen.events, (std::vector<std::string>{"printer", "printer"}));
    EXPECT_TRUE(screen.printed.busyWhilePrinting);
    EXPECT_EQ(screen.printed.title, "FORM W-2 DATA EXTRACT TEMPLATE");
    // Ten characters of 7 pixels fit the 70-pixel page, three 10-pixel lines its height.
    EXPECT_EQ(screen.printed.pages,
              (std::vector<std::vector<std::string>>{{"FORM W-2", std::string(10, 'A'), std::string(10, 'A')},
                                                     {std::string(5, 'A'), "", "B"}}));
    EXPECT_EQ(screen.printed.lineTops, (std::vector<int>{0, 10, 20}));
    EXPECT_TRUE(screen.printed.ended);
    EXPECT_EQ(screen.busy, 0);
}

TEST(Messages, FullStopOnlyAfterACharacterAboveTheDot) {
    EXPECT_EQ(DisplayedMessage("EXTRACT = C:\\x.txt"), "EXTRACT = C:\\x.txt.");
    EXPECT_EQ(DisplayedMessage("No fields selected?"), "No fields selected?.");
    EXPECT_EQ(DisplayedMessage("(c)"), "(c)");
    EXPECT_EQ(DisplayedMessage("ends in a dot."), "ends in a dot.");
    EXPECT_EQ(DisplayedMessage(""), "");
}

TEST(Pagination, APageNarrowerThanOneCharacterStillMakesProgress) {
    const std::vector<std::string> lines{"AB"};  // the pages are views into it
    const auto pages = shell::Paginate(
        lines, [](std::string_view t) { return 7 * static_cast<int>(t.size()); }, 1, 1, 10);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0], std::vector<std::string_view>{"A"});
    EXPECT_EQ(pages[1], std::vector<std::string_view>{"B"});
}

TEST_F(Shell, AHugeValueIsShownCutSoTheBoxStaysUsable) {
    const std::string value(1 << 20, 'x');
    // Field 11 is the taxpayer id, which rejects the value.
    const std::string path =
        Write("huge.txt",
              "FORM 1098-E\r\nKEY 0190000000000010000000\r\n{BEGIN DATA}\r\n" + value + "\r\n{END DATA}\r\n");
    screen.files.push_back(path);
    window.bVerifyClick();
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, "EXTRACT = " + path + "\r\n\r\nRecord # 1, Field # 1\r\n" +
                                        "Destination field \"Taxpayer id\" maps to an invalid TIN \"" +
                                        std::string(400 - 56, 'x') + "...");
}

TEST(ErrorDisplay, LongLinesAreCutAndLineBreaksKept) {
    EXPECT_EQ(shell::CutLongLines("abcdef\r\nab\r\nabcd", 3), "abc...\r\nab\r\nabc...");
    EXPECT_EQ(shell::CutLongLines("", 3), "");
    EXPECT_EQ(shell::CutLongLines("abc\n", 3), "abc\n");
}
TEST(FileDialogRules, StarDotStarLetsEveryFileThroughAndDescriptionsStayAsWritten) {
    using shell::NameFilter;
    EXPECT_EQ(shell::NameFilters("Text files (*.txt)|*.txt|All files (*.*)|*.*"),
              (std::vector<NameFilter>{{"Text files (*.txt)", {"*.txt"}}, {"All files (*.*)", {"*"}}}));
    EXPECT_EQ(shell::NameFilters("Extracts|*.txt;*.*;*.csv"),
              (std::vector<NameFilter>{{"Extracts", {"*.txt", "*", "*.csv"}}}));
    EXPECT_EQ(shell::NameFilters("Text Files|*.txt|Dangling"),
              (std::vector<NameFilter>{{"Text Files", {"*.txt"}}}));
    EXPECT_EQ(shell::NameFilters(""), std::vector<NameFilter>{});
}

TEST(FileDialogRules, SaveAddsTheDefaultExtensionSpeltAsTheChosenFilterSpellsIt) {
    const std::vector<shell::NameFilter> filters =
        shell::NameFilters("Text Files|*.txt|Upper|*.TXT|All files (*.*)|*.*|Logs|*.log|None|");
    ASSERT_EQ(filters.size(), 5u);
    EXPECT_EQ(shell::AddedExtension(filters[0], "TXT"), "txt");
    EXPECT_EQ(shell::AddedExtension(filters[1], "txt"), "TXT");
    EXPECT_EQ(shell::AddedExtension(filters[2], "TXT"), "TXT");  // "*" spells no extension
    EXPECT_EQ(shell::AddedExtension(filters[3], "TXT"), "TXT");  // another extension's filter
    EXPECT_EQ(shell::AddedExtension(filters[4], "TXT"), "TXT");  // no pattern at all
}

TEST(FileDialogRules, TypedNameFindsItsFileWithTheDefaultExtensionInAnyCase) {
    const std::vector<std::string> files{"bad-tin.txt", "README",   "notes.TXT", "x.txt",
                                         "x.Txt",       "data.csv", ".TXT"};
    const struct {
        std::string_view typed;
        std::optional<std::string> meant;
    } cases[] = {
        {"bad-tin", "bad-tin.txt"},
        {"bad-tin.TXT", "bad-tin.txt"},
        {"bad-tin.txt", "bad-tin.txt"},
        {"README", "README"},
        {"notes", "notes.TXT"},
        {"x", "x.Txt"},             // the first of several in byte order
        {"BAD-TIN", std::nullopt},  // only the extension's case is free
        {"data", std::nullopt},
        {"data.csv", "data.csv"},
        {"bad-tin.csv", std::nullopt},  // an extension of its own gets no other
        {"", std::nullopt},
        {".txt", ".TXT"},
    };
    for (const auto& c : cases) EXPECT_EQ(shell::MeantFile(c.typed, "TXT", files), c.meant) << c.typed;
    EXPECT_EQ(shell::MeantFile("README", "", files), "README");
    EXPECT_EQ(shell::MeantFile("bad-tin", "", files), std::nullopt);
}

#ifndef _WIN32
// The reason is the C library's text; Windows words its own.
TEST_F(Shell, TemplateThatCannotBeSavedShowsTheError) {
    templateWindow.Fill({"FORM W-2"});
    const std::string path = (dir / "no" / "t.txt").string();
    screen.files.push_back(path);
    templateWindow.bSaveClick();
    EXPECT_EQ(screen.boxes,
              std::vector<Box>{Failure("Cannot create file \"" + path + "\". No such file or directory.")});
}
#endif

}  // namespace
}  // namespace bq
