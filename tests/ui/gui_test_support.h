// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main_form.h"
#include "ui/message_boxes.h"

#include "fake_batch_dialogs.h"
#include "fake_printing.h"
#include "fake_save_dialog.h"
#include "report/print_preview.h"
#include "report/qt_printing.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

// Message boxes answered by the test. Every box must have been announced with expect() (or a
// question with expect_question(), with its answer); an unannounced one fails the test at once,
// and one announced but never shown fails at the end. A box about a written file is announced
// with the file it names.
class ScriptedMessages : public MessageBoxes {
public:
    void expect(MessageIcon icon, const QString& text, const QString& written = {}) {
        expected_.push_back({Kind::Message, icon, text, written, false});
    }
    void expect_question(const QString& text, bool yes) {
        expected_.push_back({Kind::Question, MessageIcon::Information, text, {}, yes});
    }
    void show_message(MessageIcon icon, const QString& text) override;
    bool ask_question(const QString& text) override;
    void show_written(MessageIcon icon, const QString& text, const QString& written) override;
    bool all_shown() const { return expected_.empty(); }

private:
    enum class Kind { Message, Question };
    struct Box {
        Kind kind;
        MessageIcon icon;
        QString text;
        QString written;
        bool yes;
    };
    // The box expected next, checked against what is shown; nothing when none was expected.
    std::optional<Box> next(Kind kind, MessageIcon icon, const QString& text,
                            const QString& written);
    std::deque<Box> expected_;
};

// One shown MainForm per test, driven with real mouse and key events.
class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <class W = QWidget> W* widget(const char* name) const {
        W* w = form->findChild<W*>(QString::fromLatin1(name));
        if (!w) {
            ADD_FAILURE() << "no control named " << name;
        }
        return w;
    }

    // The whole text of a text box or of a list's text part becomes `text`, typed key by key.
    void type(const char* name, const QString& text);
    void click(const char* name);
    // Picks the item at `index` of a closed list with the Down key, from no item chosen.
    void pick_by_keys(const char* name, int index);
    // Opens the list and clicks its item `text` with the mouse.
    void pick_by_mouse(const char* name, const QString& text);
    QString text(const char* name) const;
    const zhuheng::CalcState& state() const { return form->state(); }
    // The next modal window that appears is answered by `answer` instead of failing the test.
    void expect_modal(std::function<void(QWidget*)> answer) {
        modal_answers_.push_back(std::move(answer));
    }
    // The window made again on `dialog` in place of the fake, as the program wires its own.
    void use_printer_dialog(zhuheng::PrinterDialog& dialog);

    ScriptedMessages messages;
    zhuheng::FakePrinterDialog printer_dialog;
    zhuheng::RecordingPrinter printer;
    FakeSaveDialog save_dialog;
    FakeBatchDialogs batch_dialogs;
    // The preview's pages on the paper of a printer of their own: the default printer, or a PDF
    // file on A4 where none is installed.
    PrinterSource preview_printer;
    PrintPreview preview{preview_printer};
    std::unique_ptr<MainForm> form;

private:
    void show_form(zhuheng::PrinterDialog& dialog);

    QTimer modal_watch_;
    std::deque<std::function<void(QWidget*)>> modal_answers_;
};
