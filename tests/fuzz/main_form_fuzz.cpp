// SPDX-License-Identifier: GPL-3.0-or-later
// A sequence of window actions from the fuzzer's bytes, on one MainForm per input: grade picks,
// typing of any text, mode clicks, Calculate and Print with a scripted dialog and printer.
// After every step: no NaN or infinity in CalcState, a result box changes only in a run that
// completed, and every input box still holds exactly what was typed into it. What prints is
// always the report of the last completed run, or of the state as it stands before any run has
// completed, and the working it carries is that run's.
#include "engine/calc_state.h"
#include "engine/number_text.h"
#include "fake_batch_dialogs.h"
#include "fake_printing.h"
#include "fake_save_dialog.h"
#include "report/print_preview.h"
#include "report/print_report.h"
#include "report/qt_printing.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"
#include "ui/program_setup.h"
#include "ui/result_boxes.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

using namespace zhuheng;

namespace {

const char* const kInputBoxes[] = {"txtrg", "txtag", "txtbc", "txtbi",
                                   "txthi", "txtb",  "txth",  "txtmj"};

class CountedMessages : public MessageBoxes {
public:
    int shown = 0;
    int warnings = 0; // arithmetic faults and printer failures
    void show_message(MessageIcon icon, const QString&) override {
        ++shown;
        warnings += icon == MessageIcon::Warning ? 1 : 0;
    }
    // 计  算's menu is not played: neither box can appear.
    bool ask_question(const QString&) override { std::abort(); }
    void show_written(MessageIcon, const QString&, const QString&) override { std::abort(); }
};

[[noreturn]] void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "property broken: %s %s\n", what, detail.c_str());
    std::abort();
}

// Every number CalcState holds, through the one list of its fields.
void add_numbers(std::vector<double>& out, double v) {
    out.push_back(v);
}
template <class T> void add_numbers(std::vector<double>& out, const std::optional<T>& v) {
    out.push_back(value_or_zero(v));
}
void add_numbers(std::vector<double>& out, const BarCounts& counts) {
    for (const auto& c : counts.d12_to_d32) {
        add_numbers(out, c);
    }
    out.push_back(counts.d34);
}
void add_numbers(std::vector<double>&, CalcMode) {}
void add_numbers(std::vector<double>&, const std::string&) {}

std::vector<double> numbers_of(const CalcState& s) {
    std::vector<double> out;
    for_each_field([&](const char*, auto member) { add_numbers(out, s.*member); });
    return out;
}

QString shown(double v) {
    return QString::fromStdString(number_text(v));
}

class Session {
public:
    // The window is not shown: input events reach the controls all the same, and painting
    // would only slow the search down.
    explicit Session(FuzzedDataProvider& in)
        : in_(in), form_(messages_, dialog_, printer_, save_dialog_, preview_, batch_dialogs_) {}

    void play() {
        for (int step = 0; step < 40 && in_.remaining_bytes() > 0; ++step) {
            const std::map<std::string, QString> results_before = results();
            const int messages_before = messages_.shown;
            bool may_change_results = false;
            switch (in_.ConsumeIntegralInRange(0, 8)) {
            case 0:
                pick("cbohnt");
                break;
            case 1:
                pick("cbodj");
                break;
            case 2:
            case 3:
                type_box(kInputBoxes[in_.ConsumeIntegralInRange(0, 7)]);
                break;
            case 4:
                type_list(in_.ConsumeBool() ? "cbohnt" : "cbodj");
                break;
            case 5:
                click(in_.ConsumeBool() ? "optpj" : "optpd");
                break;
            case 6:
            case 7:
                calculate();
                may_change_results = true;
                break;
            default:
                print();
                break;
            }
            check_state();
            check_typed();
            const bool completed = may_change_results && messages_.shown == messages_before &&
                                   form_.state().mode != CalcMode::None;
            if (completed) {
                last_run_ = form_.state();
                check_results_shown();
            } else if (results() != results_before) {
                fail("a result box changed without a completed run");
            }
        }
    }

private:
    template <class W = QWidget> W* widget(const char* name) {
        return form_.findChild<W*>(QString::fromLatin1(name));
    }

    void pick(const char* name) {
        QWidget* list = widget(name);
        list->setFocus();
        QTest::keyClick(list, in_.ConsumeBool() ? Qt::Key_Down : Qt::Key_Up);
        typed_lists_.erase(name); // a pick replaces the text of the list
    }

    QString consume_text() {
        const std::string bytes = in_.ConsumeRandomLengthString(40);
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }

    // Types by input-method commits; what the box shows afterwards must stay.
    void enter(QWidget* target, QLineEdit* edit, const QString& text) {
        target->setFocus();
        edit->selectAll();
        QTest::keyClick(target, Qt::Key_Backspace);
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(target, &commit);
    }

    void type_box(const char* name) {
        auto* box = widget<QLineEdit>(name);
        enter(box, box, consume_text());
        typed_boxes_[name] = box->text();
    }

    void type_list(const char* name) {
        auto* list = widget<QComboBox>(name);
        enter(list, list->lineEdit(), consume_text());
        typed_lists_[name] = list->currentText();
    }

    void click(const char* name) {
        QWidget* w = widget(name);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
    }

    // A run that meets an arithmetic fault leaves CalcState exactly as it was.
    void calculate() {
        const CalcState before = form_.state();
        const int warnings_before = messages_.warnings;
        click("cmdrun");
        if (messages_.warnings != warnings_before && form_.state() != before) {
            fail("a faulted run changed CalcState");
        }
    }

    void print() {
        dialog_.answer = in_.ConsumeIntegralInRange(0, 5) == 0 ? FakePrinterDialog::Answer::Cancel
                                                               : FakePrinterDialog::Answer::Confirm;
        dialog_.copy_count = in_.ConsumeIntegralInRange<long>(-2, 3);
        if (in_.ConsumeBool()) {
            printer_.fail_after = in_.ConsumeIntegralInRange(0, 12);
        } else {
            printer_.fail_after.reset();
        }
        dialog_.with_working = in_.ConsumeBool();
        const CalcState before = form_.state();
        const std::size_t events_before = printer_.events.size();
        click("cmdprint");
        if (form_.state() != before) {
            fail("printing changed CalcState");
        }
        // Every document that was begun is ended or aborted, never left open.
        if (printer_.events.size() > events_before &&
            printer_.events.back().kind == PrinterEvent::Kind::Line) {
            fail("a document was left without an end");
        }
        if (printer_.events.size() > events_before &&
            printer_.events.back().kind == PrinterEvent::Kind::EndDocument) {
            check_printed(events_before);
        }
    }

    // The lines of a whole document: every copy is the report of the last completed run, in the
    // mode of that run, with its working when the dialog asked for it; before any, the report of
    // the state as it stands, in the mode chosen, without working.
    void check_printed(std::size_t first_event) {
        const std::vector<ReportLine> copy = report_copy(last_run_ ? *last_run_ : form_.state());
        std::vector<PrinterEvent> expected;
        for (long c = 0; c < dialog_.copy_count; ++c) {
            for (const ReportLine& line : copy) {
                expected.push_back({PrinterEvent::Kind::Line, line});
            }
            if (last_run_ && dialog_.with_working) {
                expected.push_back({PrinterEvent::Kind::Working, {}, run_working(*last_run_)});
            }
        }
        expected.push_back({PrinterEvent::Kind::EndDocument, {}});
        const std::vector<PrinterEvent> actual(printer_.events.begin() + first_event,
                                               printer_.events.end());
        if (actual != expected) {
            fail("the printed report is not the one of the last completed run");
        }
    }

    void check_state() {
        for (double v : numbers_of(form_.state())) {
            if (!std::isfinite(v)) {
                fail("a field of CalcState is not finite");
            }
        }
    }

    void check_typed() {
        for (const auto& [name, text] : typed_boxes_) {
            if (widget<QLineEdit>(name.c_str())->text() != text) {
                fail("a typed box lost its text", name);
            }
        }
        for (const auto& [name, text] : typed_lists_) {
            if (widget<QComboBox>(name.c_str())->currentText() != text) {
                fail("a typed list lost its text", name);
            }
        }
    }

    void check_results_shown() {
        const CalcState& s = form_.state();
        if (s.mode == CalcMode::Design) {
            std::vector<QString> expected = {shown(*s.as_req), shown(s.ratio), shown(*s.x)};
            for (const auto& c : s.bar_counts.d12_to_d32) {
                expected.push_back(shown(*c));
            }
            expected.push_back(shown(s.bar_counts.d34));
            for (std::size_t i = 0; i < expected.size(); ++i) {
                if (widget<QLineEdit>(kDesignResultBoxes[i].name)->text() != expected[i]) {
                    fail("a design box does not show the stored result",
                         kDesignResultBoxes[i].name);
                }
            }
            for (const ResultBox& r : kCheckResultBoxes) {
                const char* box = r.name;
                if (!widget<QLineEdit>(box)->text().isEmpty()) {
                    fail("a check box was not emptied", box);
                }
            }
        } else {
            if (widget<QLineEdit>("txtxpd")->text() != shown(*s.x) ||
                widget<QLineEdit>("txtmpd")->text() != shown(s.m_ult) ||
                widget<QLineEdit>("txtpd")->text() != QString::fromStdString(s.verdict)) {
                fail("a check box does not show the stored result");
            }
            for (const ResultBox& r : kDesignResultBoxes) {
                const char* box = r.name;
                if (!widget<QLineEdit>(box)->text().isEmpty()) {
                    fail("a design box was not emptied", box);
                }
            }
        }
    }

    std::map<std::string, QString> results() {
        std::map<std::string, QString> out;
        for (const ResultBox& r : kDesignResultBoxes) {
            const char* box = r.name;
            out[box] = widget<QLineEdit>(box)->text();
        }
        for (const ResultBox& r : kCheckResultBoxes) {
            const char* box = r.name;
            out[box] = widget<QLineEdit>(box)->text();
        }
        return out;
    }

    FuzzedDataProvider& in_;
    CountedMessages messages_;
    FakePrinterDialog dialog_;
    RecordingPrinter printer_;
    FakeSaveDialog save_dialog_;
    FakeBatchDialogs batch_dialogs_;
    PrinterSource preview_printer_;
    PrintPreview preview_{preview_printer_};
    MainForm form_;
    std::optional<CalcState> last_run_;
    std::map<std::string, QString> typed_boxes_;
    std::map<std::string, QString> typed_lists_;
};

void quiet(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    static int qt_argc = 1;
    // Lives until the process ends: destroyed by exit handlers, Qt would outlive its platform.
    setup_program(*new QApplication(qt_argc, *argv));
    (void)argc;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Session session(in);
    session.play();
    return 0;
}
