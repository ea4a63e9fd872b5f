// SPDX-License-Identifier: GPL-3.0-or-later
// zhuheng-scenario FILE (or - for standard input): plays a script of user actions on the real
// window through Qt input events under the offscreen platform, answers every message box, the
// printer dialog, the save dialog and the print preview, and prints what a user would see, one
// line per event. Files it is told to save go to the working folder.
#include "engine/calc_state.h"
#include "fake_batch_dialogs.h"
#include "fake_printing.h"
#include "fake_save_dialog.h"
#include "json_text.h"
#include "preview_text.h"
#include "table_equivalence.h"
#include "report/print_preview.h"
#include "report/qt_printing.h"
#include "typing.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"
#include "ui/program_setup.h"
#include "widget_description.h"
#include "written_files.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <iostream>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

using namespace zhuheng;
using scenario::json_number;
using scenario::json_string;

namespace {

// The controls in the order of the layout tables: the window's own, then each frame's.
const char* const kControls[] = {
    "Frame1",  "Frame2", "Frame3",  "cmdrun", "cmdprint", "cmdexit", "optpj",   "optpd",
    "Label1",  "cbohnt", "Label2",  "cbodj",  "Label27",  "txtrg",   "Label3",  "txtag",
    "Label4",  "txtbc",  "Label5",  "txtbi",  "Label6",   "txthi",   "Label7",  "txtb",
    "Label8",  "txth",   "Label9",  "txtmj",  "Label10",  "txtagl",  "Label11", "txtupj",
    "Label12", "txtx",   "Label13", "txtd12", "Label14",  "txtd14",  "Label15", "txtd16",
    "Label16", "txtd18", "Label17", "txtd20", "Label18",  "txtd22",  "Label19", "txtd25",
    "Label20", "txtd28", "Label21", "txtd30", "Label22",  "txtd32",  "Label23", "txtd34",
    "Label24", "txtxpd", "Label25", "txtmpd", "Label26",  "txtpd"};

struct ScriptError {
    std::string reason;
};

void emit_line(const std::string& line) {
    std::cout << line << '\n' << std::flush;
}

const char* icon_name(MessageIcon icon) {
    return icon == MessageIcon::Information ? "information"
           : icon == MessageIcon::Warning   ? "warning"
                                            : "critical";
}

// Says each box; a question is answered as the script said last (否 until it says).
class PrintedMessages : public MessageBoxes {
public:
    bool answer_yes = false;

    void show_message(MessageIcon icon, const QString& text) override {
        ++shown;
        emit_line(std::string("message ") + icon_name(icon) + ' ' + json_string(text.toStdString()));
    }
    bool ask_question(const QString& text) override {
        ++shown;
        emit_line("question " + json_string(text.toStdString()) +
                  (answer_yes ? " answer yes" : " answer no"));
        return answer_yes;
    }
    void show_written(MessageIcon icon, const QString& text, const QString& written) override {
        ++shown;
        emit_line(std::string("message ") + icon_name(icon) + ' ' +
                  json_string(text.toStdString()) + " open " +
                  json_string(QFileInfo(written).fileName().toStdString()));
    }

    int shown = 0; // boxes of every kind, so far
};

std::string separator_name(PrintSeparator s) {
    switch (s) {
    case PrintSeparator::Join:
        return "join";
    case PrintSeparator::Zone:
        return "zone";
    case PrintSeparator::LineEnd:
        break;
    }
    return "end";
}

void print_event(const PrinterEvent& e) {
    if (e.kind == PrinterEvent::Kind::EndDocument) {
        emit_line("end-document");
        return;
    }
    if (e.kind == PrinterEvent::Kind::AbortDocument) {
        emit_line("abort-document");
        return;
    }
    if (e.kind == PrinterEvent::Kind::Working) {
        for (const WorkingLine& line : e.working.lines) {
            emit_line("working " + json_string(line_text(line)));
        }
        if (const auto& f = e.working.figure) {
            emit_line("figure {\"bi\":" + json_number(f->bi) + ",\"hi\":" + json_number(f->hi) +
                      ",\"b\":" + json_number(f->b) + ",\"h\":" + json_number(f->h) +
                      ",\"a\":" + json_number(f->a) + ",\"x\":" + json_number(f->x) + '}');
        }
        return;
    }
    std::string out = "line {\"indent\":" + std::to_string(e.line.indent) + ",\"items\":[";
    for (std::size_t i = 0; i < e.line.items.size(); ++i) {
        const PrintItem& item = e.line.items[i];
        out += (i ? ",[" : "[") + json_string(item.text) + ',' +
               json_string(separator_name(item.separator)) + ']';
    }
    emit_line(out + "]}");
}

std::string json_strings(const std::vector<QString>& texts) {
    std::string out = "[";
    for (const QString& text : texts) {
        out += (out.size() > 1 ? "," : "") + json_string(text.toStdString());
    }
    return out + ']';
}

// A field of CalcState as JSON: an unset optional field is null; a steel strength is a whole
// number while a grade set it, and a double once a typed strength did.
std::string json_value(CalcMode m) {
    return m == CalcMode::Design ? "\"Design\"" : m == CalcMode::Check ? "\"Check\"" : "\"None\"";
}
std::string json_value(double v) {
    return json_number(v);
}
std::string json_value(const std::string& text) {
    return json_string(text);
}
std::string json_value(const SteelStrength& rg) {
    return std::holds_alternative<std::int32_t>(rg) ? std::to_string(std::get<std::int32_t>(rg))
                                                    : json_number(std::get<double>(rg));
}
template <class T> std::string json_value(const std::optional<T>& v) {
    if (!v) {
        return "null";
    }
    if constexpr (std::is_same_v<T, SteelStrength>) {
        return json_value(*v);
    } else {
        return json_number(static_cast<double>(*v));
    }
}
std::string json_value(const BarCounts& counts) {
    std::string out = "[";
    for (const auto& c : counts.d12_to_d32) {
        out += json_value(c) + ',';
    }
    return out + std::to_string(counts.d34) + ']';
}

std::string json_state(const CalcState& s) {
    std::string out;
    for_each_field([&](const char* name, auto member) {
        out += (out.empty() ? "{\"" : ",\"") + std::string(name) + "\":" + json_value(s.*member);
    });
    return out + '}';
}

// Splits off the first word of `rest` (words are separated by one space).
std::string next_word(std::string_view& rest) {
    const std::size_t space = rest.find(' ');
    std::string word(rest.substr(0, space));
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    return word;
}

std::string parse_text(std::string_view rest) {
    const auto text = scenario::parse_json_string(rest);
    if (!text) {
        throw ScriptError{"TEXT must be one JSON string literal"};
    }
    return *text;
}

// A file or folder named in a script: a name in the working folder, so that what the runner
// prints holds no path, the same on every platform.
QString parse_name(std::string_view rest) {
    const QString name = QString::fromStdString(parse_text(rest));
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QLatin1Char(':'))) {
        throw ScriptError{"NAME must name a file in the working folder, with no separator"};
    }
    return name;
}

long long parse_integer(const std::string& word) {
    if (word.empty()) {
        throw ScriptError{"an integer is missing"};
    }
    const char* begin = word.c_str();
    char* end = nullptr;
    long long v = std::strtoll(begin, &end, 10);
    if (*end != '\0' || end == begin || word.find_first_of(" \t") != std::string::npos) {
        throw ScriptError{"not an integer: " + word};
    }
    return v; // beyond the range of long long it saturates, which prints the same way
}

class Runner {
public:
    Runner() {
        printer_.on_event = print_event;
        dialog_.on_show = [] { emit_line("printer-dialog"); };
        save_dialog_.on_ask = [](SavedForm form) {
            emit_line(form == SavedForm::Pdf        ? "save-dialog pdf"
                      : form == SavedForm::Document ? "save-dialog document"
                                                    : "save-dialog csv");
        };
        batch_dialogs_.table.reset();
        batch_dialogs_.choices.reset();
        batch_dialogs_.on_ask_table = [] { emit_line("open-dialog table"); };
        batch_dialogs_.on_ask_choices = [](const QString& table) {
            emit_line("batch-options-dialog " + json_string(QFileInfo(table).fileName().toStdString()));
        };
        // The preview is Qt's own modal dialog: it is answered from the event loop it runs.
        preview_watch_.setInterval(0);
        QObject::connect(&preview_watch_, &QTimer::timeout, [this] {
            if (auto* dialog =
                    qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                preview_watch_.stop();
                answer_preview(*dialog);
            }
        });
        form_ = std::make_unique<MainForm>(messages_, dialog_, printer_, save_dialog_, preview_,
                                           batch_dialogs_);
        QObject::connect(form_.get(), &MainForm::exitRequested, [this] {
            emit_line("exit");
            exited_ = true;
        });
        form_->show();
        QApplication::setActiveWindow(form_.get());
        if (!QTest::qWaitForWindowActive(form_.get())) {
            throw ScriptError{"the window did not become active"};
        }
        initial_focus_ = QApplication::focusWidget();
    }

    // Returns the exit status.
    int run(std::istream& script) {
        std::string line;
        int number = 0;
        while (!exited_ && std::getline(script, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            const std::size_t first = line.find_first_not_of(" \t");
            if (first == std::string::npos || line[first] == '#') {
                continue;
            }
            try {
                execute(line);
            } catch (const ScriptError& e) {
                std::cerr << "script error: " << number << ": " << e.reason << std::endl;
                return 2;
            }
        }
        return 0;
    }

private:
    void execute(std::string_view rest) {
        const std::string command = next_word(rest);
        if (command == "choose") {
            const std::string name = next_word(rest);
            choose(name, parse_text(rest));
        } else if (command == "type") {
            const std::string name = next_word(rest);
            type(name, parse_text(rest));
        } else if (command == "click") {
            click(single_word(rest));
        } else if (command == "dialog") {
            const std::string what = next_word(rest);
            if (what == "copies") {
                dialog_.answer = FakePrinterDialog::Answer::Confirm;
                dialog_.copy_count = static_cast<long>(parse_integer(single_word(rest)));
            } else if (what == "cancel" && rest.empty()) {
                dialog_.answer = FakePrinterDialog::Answer::Cancel;
            } else if (what == "working" && (rest == "on" || rest == "off")) {
                dialog_.with_working = rest == "on";
            } else {
                throw ScriptError{"dialog takes \"copies N\", \"cancel\" or \"working on|off\""};
            }
        } else if (command == "printer") {
            const std::string what = next_word(rest);
            if (what == "fail-after") {
                const long long k = parse_integer(single_word(rest));
                if (k < 0) {
                    throw ScriptError{"fail-after takes a count of lines, 0 or more"};
                }
                printer_.fail_after = static_cast<int>(std::min<long long>(k, INT32_MAX));
            } else if (what == "ok" && rest.empty()) {
                printer_.fail_after.reset();
            } else {
                throw ScriptError{"printer takes \"fail-after K\" or \"ok\""};
            }
        } else if (command == "save") {
            if (rest == "cancel") {
                save_dialog_.answer.reset();
            } else {
                save_dialog_.answer = parse_name(rest);
            }
        } else if (command == "open") {
            if (rest == "cancel") {
                batch_dialogs_.table.reset();
            } else {
                batch_dialogs_.table = QDir().absoluteFilePath(parse_name(rest));
            }
        } else if (command == "batch-options") {
            batch_options(rest);
        } else if (command == "question" && (rest == "yes" || rest == "no")) {
            messages_.answer_yes = rest == "yes";
        } else if (command == "batch" && rest == "wait") {
            wait_for_batch();
        } else if (command == "batch" && rest == "cancel") {
            cancel_batch();
        } else if (command == "write" || command == "append") {
            write(rest, command == "append");
        } else if (command == "content") {
            content(parse_name(rest));
        } else if (command == "preview" && (rest == "close" || rest == "print")) {
            print_from_preview_ = rest == "print";
        } else if (command == "clipboard" && rest.empty()) {
            clipboard();
        } else if (command == "files" && rest.empty()) {
            files();
        } else if (command == "folder") {
            if (!QDir().mkdir(parse_name(rest))) {
                throw ScriptError{"the folder could not be made"};
            }
        } else if (command == "document") {
            document(parse_name(rest));
        } else if (command == "menu") {
            const std::string name = next_word(rest);
            menu(name, rest.empty() ? std::string() : parse_text(rest));
        } else if (command == "show") {
            show(single_word(rest));
        } else if (command == "state" && rest.empty()) {
            emit_line("state " + json_state(form_->state()));
        } else if (command == "widgets" && rest.empty()) {
            widgets();
        } else if (command == "focus-chain" && rest.empty()) {
            focus_chain();
        } else {
            throw ScriptError{"unknown command: " + std::string(command)};
        }
    }

    static std::string single_word(std::string_view rest) {
        if (rest.empty() || rest.find(' ') != std::string_view::npos) {
            throw ScriptError{"one word expected"};
        }
        return std::string(rest);
    }

    QWidget* control(const std::string& name) const {
        for (const char* known : kControls) {
            if (name == known) {
                return form_->findChild<QWidget*>(QString::fromStdString(name));
            }
        }
        throw ScriptError{"no control named " + name};
    }

    void choose(const std::string& name, const std::string& text) {
        auto* list = qobject_cast<QComboBox*>(control(name));
        if (!list) {
            throw ScriptError{name + " is not a list"};
        }
        const QString item = QString::fromStdString(text);
        if (list->findText(item, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
            throw ScriptError{"no item " + json_string(text) + " in " + name};
        }
        if (!choose_item(list, item)) {
            throw ScriptError{"the list of " + name + " did not open"};
        }
        picked_[name] = text;
    }

    void type(const std::string& name, const std::string& text) {
        QWidget* w = control(name);
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w)) {
            throw ScriptError{name + " takes no typing"};
        }
        const QString typed = QString::fromStdString(text);
        if (type_text(w, typed)->text() != typed) {
            throw ScriptError{name + " did not take the text " + json_string(text)};
        }
    }

    void click(const std::string& name) {
        static const char* const clickable[] = {"optpj", "optpd", "cmdrun", "cmdprint", "cmdexit"};
        if (std::find(std::begin(clickable), std::end(clickable), name) == std::end(clickable)) {
            throw ScriptError{"cannot click " + name};
        }
        if (name != "cmdrun") {
            click_control(control(name));
            return;
        }
        const WindowRun before = window_run();
        const int boxes = messages_.shown;
        click_control(control(name));
        // Every run that ends short of its results says so in a box.
        if (messages_.shown == boxes) {
            compare_with_table(before);
        }
    }

    // The inputs as the window holds them before a run.
    WindowRun window_run() const {
        WindowRun run;
        run.mode = form_->state().mode;
        run.concrete_grade = picked_["cbohnt"];
        run.steel_grade = picked_["cbodj"];
        run.rg = control_text(control("txtrg")).toStdString();
        const char* const section[] = {"txtag", "txtbc", "txtbi", "txthi", "txtb", "txth", "txtmj"};
        for (std::size_t i = 0; i < run.section.size(); ++i) {
            run.section[i] = control_text(control(section[i])).toStdString();
        }
        run.rg_before = form_->state().rg;
        return run;
    }

    // The completed run, given as a one-row table, must give the boxes' results: a difference
    // ends the scenario.
    void compare_with_table(WindowRun run) {
        run.ratio_min = form_->state().ratio_min;
        const bool design = run.mode == CalcMode::Design;
        const std::vector<const char*> boxes =
            design ? std::vector<const char*>{"txtagl", "txtupj", "txtx",   "txtd12", "txtd14",
                                              "txtd16", "txtd18", "txtd20", "txtd22", "txtd25",
                                              "txtd28", "txtd30", "txtd32", "txtd34"}
                   : std::vector<const char*>{"txtxpd", "txtmpd", "txtpd"};
        for (const char* box : boxes) {
            run.shown.push_back(control_text(control(box)).toStdString());
        }
        const std::string difference = table_disagreement(run);
        if (!difference.empty()) {
            throw ScriptError{"the run as a one-row table: " + difference};
        }
    }

    // batch-options cancel | none | pdf | document | pdf+document, then "working" where the book
    // carries the working.
    void batch_options(std::string_view rest) {
        const std::string books = next_word(rest);
        if (books == "cancel" && rest.empty()) {
            batch_dialogs_.choices.reset();
            return;
        }
        BatchChoices choices;
        choices.book_pdf = books == "pdf" || books == "pdf+document";
        choices.book_document = books == "document" || books == "pdf+document";
        choices.with_working = rest == "working";
        if ((!choices.book_pdf && !choices.book_document && books != "none") ||
            !(rest.empty() || (rest == "working" && books != "none"))) {
            throw ScriptError{"batch-options takes cancel, none, pdf, document or pdf+document, "
                              "the books optionally followed by working"};
        }
        batch_dialogs_.choices = choices;
    }

    // Waits until the batch has ended and its summary was said.
    void wait_for_batch() {
        if (!QTest::qWaitFor([this] { return !form_->batch_running(); }, 120000)) {
            throw ScriptError{"the batch did not end within two minutes"};
        }
    }

    // Waits for the batch's progress to show, says it, and presses its 取消 with the mouse.
    void cancel_batch() {
        QProgressDialog* progress = nullptr;
        const bool shown = QTest::qWaitFor(
            [&] {
                progress = form_->findChild<QProgressDialog*>();
                return !form_->batch_running() || (progress && progress->isVisible());
            },
            60000);
        if (!shown || !progress || !progress->isVisible()) {
            throw ScriptError{"no batch's progress was shown"};
        }
        QPushButton* cancel = progress->findChild<QPushButton*>();
        if (!cancel) {
            throw ScriptError{"the progress has no button"};
        }
        emit_line("progress-dialog " + json_string(progress->windowTitle().toStdString()) + ' ' +
                  json_string(progress->labelText().toStdString()) + " press " +
                  json_string(cancel->text().toStdString()));
        QTest::mouseClick(cancel, Qt::LeftButton);
    }

    // write NAME COUNT TEXT: the file NAME (one word) holds COUNT copies of TEXT (UTF-8), one
    // after another; append adds them at its end.
    void write(std::string_view rest, bool at_end) {
        const std::string name = next_word(rest);
        const long long count = parse_integer(next_word(rest));
        const std::string bytes = parse_text(rest);
        QFile file(parse_name(json_string(name)));
        if (count < 1 || !file.open(at_end ? QIODevice::Append : QIODevice::WriteOnly)) {
            throw ScriptError{"write takes NAME COUNT TEXT, COUNT 1 or more"};
        }
        for (long long i = 0; i < count; ++i) {
            file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        }
    }

    // The bytes of a file, a line at a time, each line with its end ("\r\n" shows as \r).
    void content(const QString& name) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            emit_line("content-missing " + json_string(name.toStdString()));
            return;
        }
        const QByteArray bytes = file.readAll();
        emit_line("content " + json_string(name.toStdString()) + ' ' +
                  std::to_string(bytes.size()) + " bytes");
        for (const QByteArray& line : bytes.split('\n')) {
            emit_line("line " + json_string(line.toStdString()));
        }
    }

    // Opens the menu of a control with the menu key, says each item as shown, ticked or not,
    // and takes the item `item` with the arrow keys and Enter, or, with none, closes the menu.
    void menu(const std::string& name, const std::string& item) {
        if (name != "cmdprint" && name != "cmdrun") {
            throw ScriptError{"only cmdrun and cmdprint have a menu"};
        }
        QWidget* w = control(name);
        w->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(w, Qt::Key_Menu);
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!open) {
            throw ScriptError{"the menu of " + name + " did not open"};
        }
        QAction* wanted = nullptr;
        for (QAction* action : open->actions()) {
            if (action->isSeparator()) {
                continue;
            }
            const std::string shown = action->text().remove(QChar('&')).toStdString();
            emit_line("menu " + name + ' ' + json_string(shown) +
                      (action->isChecked() ? " checked" : " unchecked"));
            wanted = shown == item ? action : wanted;
        }
        if (item.empty()) {
            QTest::keyClick(open, Qt::Key_Escape);
            return;
        }
        if (!wanted) {
            QTest::keyClick(open, Qt::Key_Escape);
            throw ScriptError{"no item " + json_string(item) + " in the menu of " + name};
        }
        // Down goes from item to item, over the separators, as a user's arrow key does.
        for (int guard = 0; open->activeAction() != wanted && guard < 100; ++guard) {
            QTest::keyClick(open, Qt::Key_Down);
        }
        preview_watch_.start();
        QTest::keyClick(open, Qt::Key_Return);
        preview_watch_.stop();
        if (!preview_error_.empty()) {
            throw ScriptError{std::exchange(preview_error_, {})};
        }
    }

    // Says the preview's title, its paper, its number of pages and the text of each page as it
    // shows them, then closes it with Escape or presses its print button (the last of its tool
    // bar), as told; a preview still open after printing is closed with Escape.
    void answer_preview(QPrintPreviewDialog& dialog) {
        const auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        const QList<QToolBar*> bars = dialog.findChildren<QToolBar*>();
        QAction* print = bars.size() == 1
                             ? bars.front()->actions().value(bars.front()->actions().size() - 1)
                             : nullptr;
        const std::vector<PageText> pages =
            preview ? preview_text(*preview) : std::vector<PageText>();
        if (!preview || !print || pages.size() != static_cast<std::size_t>(preview->pageCount())) {
            // No exception passes through the dialog's event loop: the error follows its end.
            preview_error_ = "the preview is not Qt's: no pages, or no print button";
            dialog.reject();
            return;
        }
        emit_line("preview-dialog " + json_string(dialog.windowTitle().toStdString()) + " paper " +
                  dialog.printer()->pageLayout().pageSize().key().toStdString() + " pages " +
                  std::to_string(pages.size()));
        for (std::size_t i = 0; i < pages.size(); ++i) {
            for (const std::vector<QString>& row : pages[i]) {
                emit_line("page " + std::to_string(i + 1) + ' ' + json_strings(row));
            }
        }
        if (print_from_preview_) {
            emit_line("preview-dialog press " +
                      json_string(print->text().remove(QChar('&')).toStdString()));
            print->trigger();
            if (!dialog.isVisible()) {
                return;
            }
            emit_line("preview-dialog stays open");
        }
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }

    // The formats on the clipboard, and its plain text a line at a time.
    void clipboard() {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QStringList formats = data ? data->formats() : QStringList();
        formats.sort();
        emit_line("clipboard-formats " + json_strings({formats.begin(), formats.end()}));
        QStringList lines = data ? data->text().split(QLatin1Char('\n')) : QStringList();
        if (!lines.empty() && lines.back().isEmpty()) {
            lines.removeLast(); // the end of the last line
        }
        for (const QString& line : lines) {
            emit_line("clipboard " + json_string(line.toStdString()));
        }
    }

    // What the working folder holds, by name: each file with what its contents are, each
    // folder with the number of entries in it.
    void files() {
        const auto all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
        QFileInfoList entries = QDir().entryInfoList(all);
        std::sort(entries.begin(), entries.end(), [](const QFileInfo& a, const QFileInfo& b) {
            return a.fileName().toStdString() < b.fileName().toStdString();
        });
        emit_line("files " + std::to_string(entries.size()));
        for (const QFileInfo& entry : entries) {
            const std::string name = json_string(entry.fileName().toStdString());
            if (entry.isDir()) {
                emit_line("folder " + name + ' ' +
                          std::to_string(QDir(entry.filePath()).entryList(all).size()));
            } else {
                emit_line("file " + name + ' ' + file_kind(entry.filePath()));
            }
        }
    }

    void document(const QString& name) {
        const std::optional<std::vector<DocumentBlock>> blocks = document_text(name);
        if (!blocks) {
            emit_line("document-unreadable " + json_string(name.toStdString()));
            return;
        }
        for (const DocumentBlock& block : *blocks) {
            switch (block.kind) {
            case DocumentBlock::Kind::Paragraph:
                emit_line("document " + json_string(block.texts.front().toStdString()));
                break;
            case DocumentBlock::Kind::Row:
                emit_line("document " + json_strings(block.texts));
                break;
            case DocumentBlock::Kind::Picture:
                emit_line("document picture " + json_strings(block.texts));
                break;
            }
        }
    }

    void show(const std::string& name) {
        QWidget* w = control(name);
        if (auto* option = qobject_cast<QRadioButton*>(w)) {
            emit_line(name + (option->isChecked() ? " checked" : " unchecked"));
            return;
        }
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w)) {
            throw ScriptError{"show takes a text box, a list, optpj or optpd"};
        }
        emit_line(name + ' ' + json_string(control_text(w).toStdString()) +
                  (w->isVisibleTo(form_.get()) ? " visible" : " hidden"));
    }

    void widgets() {
        const QSize client = form_->size();
        emit_line("widget MainForm window - 0 0 " + std::to_string(client.width() * 15) + ' ' +
                  std::to_string(client.height() * 15) + ' ' +
                  json_string(form_->windowTitle().toStdString()));
        for (const char* name : kControls) {
            const QWidget* w = control(name);
            const QWidget* parent = w->parentWidget();
            const QRect g = w->geometry();
            emit_line(std::string("widget ") + name + ' ' + control_kind(w) + ' ' +
                      (parent == form_.get() ? "MainForm" : parent->objectName().toStdString()) +
                      ' ' + std::to_string(g.x() * 15) + ' ' + std::to_string(g.y() * 15) + ' ' +
                      std::to_string(g.width() * 15) + ' ' + std::to_string(g.height() * 15) + ' ' +
                      json_string(control_text(w).toStdString()));
        }
    }

    // Walks the chain with Tab from the control focused at start, then puts the focus back.
    void focus_chain() {
        QWidget* const before = QApplication::focusWidget();
        if (!initial_focus_) {
            throw ScriptError{"no control had the focus at start"};
        }
        initial_focus_->setFocus(Qt::OtherFocusReason);
        std::string out = "focus-chain " + initial_focus_->objectName().toStdString();
        for (int guard = 0; guard < 200; ++guard) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            if (!now || now == initial_focus_) {
                break;
            }
            out += ' ' + now->objectName().toStdString();
        }
        emit_line(out);
        if (before) {
            before->setFocus(Qt::OtherFocusReason);
        }
    }

    PrintedMessages messages_;
    FakePrinterDialog dialog_;
    RecordingPrinter printer_;
    FakeSaveDialog save_dialog_;
    FakeBatchDialogs batch_dialogs_;
    PrinterSource preview_printer_;
    PrintPreview preview_{preview_printer_};
    std::unique_ptr<MainForm> form_;
    QTimer preview_watch_;
    bool print_from_preview_ = false;
    std::string preview_error_;
    QWidget* initial_focus_ = nullptr;
    bool exited_ = false;
    // The item each list had chosen last, by the list's name.
    mutable std::map<std::string, std::string> picked_;
};

// Qt's notes on the offscreen platform are not part of what a user sees.
void quiet(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << text.toStdString() << std::endl;
    }
}

} // namespace

int main(int argc, char* argv[]) {
#ifdef _WIN32
    // What the runner reads and prints is compared byte for byte with the expected files: no
    // "\r" before each "\n", on Windows as everywhere.
    for (FILE* stream : {stdin, stdout, stderr}) {
        _setmode(_fileno(stream), _O_BINARY);
    }
#endif
    if (argc != 2) {
        std::cerr << "usage: zhuheng-scenario FILE (or - for standard input)" << std::endl;
        return 2;
    }
    std::ifstream file;
    std::istream* script = &std::cin;
    if (std::string(argv[1]) != "-") {
        file.open(argv[1], std::ios::binary);
        if (!file) {
            std::cerr << "cannot read " << argv[1] << std::endl;
            return 2;
        }
        script = &file;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    int qt_argc = 1;
    QApplication app(qt_argc, argv);
    setup_program(app);
    try {
        Runner runner;
        return runner.run(*script);
    } catch (const ScriptError& e) {
        std::cerr << "script error: 0: " << e.reason << std::endl;
        return 2;
    }
}
