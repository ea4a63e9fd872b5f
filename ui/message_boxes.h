// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

enum class MessageIcon { Information, Warning, Critical };

// The modal message boxes of the window, reached through this interface so that tests and the
// scenario runner can see and answer them.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Returns when the box has been closed; the answer is not used.
    virtual void show_message(MessageIcon icon, const QString& text) = 0;
    // A question answered 是 or 否 (the default, as Escape answers); true for 是.
    virtual bool ask_question(const QString& text) = 0;
    // A message about the file `written`, with a button 打开结果 that opens it in the program the
    // desktop opens such files with, beside 关闭.
    virtual void show_written(MessageIcon icon, const QString& text, const QString& written) = 0;
};

// QMessageBox with one OK button and the program's title.
class QtMessageBoxes : public MessageBoxes {
public:
    void set_parent(QWidget* parent) { parent_ = parent; }
    void show_message(MessageIcon icon, const QString& text) override;
    bool ask_question(const QString& text) override;
    void show_written(MessageIcon icon, const QString& text, const QString& written) override;

private:
    QWidget* parent_ = nullptr;
};
