// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

// An editable grade list whose only choice is a pick from the list: by mouse or keyboard in the
// open list, or Up/Down (PageUp/PageDown) on the closed one. QComboBox also reports an item as
// activated on Enter in the text part, on leaving it with a matching text and on the mouse
// wheel; none of those is a choice here, so typed text never changes a material value.
class GradeComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit GradeComboBox(QWidget* parent = nullptr);

    void hidePopup() override;

signals:
    void itemChosen(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void on_activated();

    // Set only while an activation can come from a real pick.
    bool pick_ = false;
};
