// SPDX-License-Identifier: GPL-3.0-or-later
// The grade lists: a pick from the list sets the material values at once; typing never does,
// not even a grade's exact text followed by Enter, leaving the list or the mouse wheel.
#include "gui_test_support.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

using namespace zhuheng;

namespace {

double rg_of(const CalcState& s) {
    return value_or_zero(s.rg);
}

TEST_F(MainFormTest, FirstDownKeyPicksTheFirstItem) {
    pick_by_keys("cbohnt", 0);
    EXPECT_EQ(text("cbohnt"), QStringLiteral("15号"));
    ASSERT_TRUE(state().ra);
    EXPECT_EQ(*state().ra, 8500);
    pick_by_keys("cbodj", 0);
    EXPECT_EQ(rg_of(state()), 240000.0);
    EXPECT_EQ(state().xi_jg, 0.65);
}

TEST_F(MainFormTest, KeysUpAndDownOnTheClosedListPickEachStep) {
    pick_by_keys("cbodj", 2); // Ⅲ级
    EXPECT_EQ(rg_of(state()), 380000.0);
    QTest::keyClick(widget("cbodj"), Qt::Key_Up); // Ⅱ级
    EXPECT_EQ(text("cbodj"), QStringLiteral("Ⅱ级"));
    EXPECT_EQ(rg_of(state()), 340000.0);
    EXPECT_EQ(state().xi_jg, 0.55);
    pick_by_keys("cbodj", 2); // on to 5号, the last item
    EXPECT_EQ(rg_of(state()), 280000.0);
    EXPECT_EQ(state().xi_jg, 0.6);
}

TEST_F(MainFormTest, MousePickFromTheOpenList) {
    pick_by_mouse("cbohnt", QStringLiteral("50号"));
    ASSERT_TRUE(state().ra);
    EXPECT_EQ(*state().ra, 28500);
    pick_by_mouse("cbodj", QStringLiteral("Ⅳ级"));
    EXPECT_EQ(rg_of(state()), 550000.0);
    EXPECT_EQ(state().xi_jg, 0.45);
}

TEST_F(MainFormTest, KeyboardPickInsideTheOpenList) {
    QComboBox* list = widget<QComboBox>("cbohnt");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier); // opens the list, picks nothing
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->view()->window()));
    EXPECT_FALSE(state().ra);
    // The open list starts on its first item; two steps down is the third.
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    ASSERT_TRUE(state().ra);
    EXPECT_EQ(text("cbohnt"), QStringLiteral("25号"));
    EXPECT_EQ(*state().ra, 14500);
}

TEST_F(MainFormTest, EscapeClosesTheListWithoutAPickAndLaterEnterStaysTyping) {
    QComboBox* list = widget<QComboBox>("cbodj");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->view()->window()));
    QTest::keyClick(list->view(), Qt::Key_Escape);
    EXPECT_FALSE(list->view()->isVisible());
    type("cbodj", QStringLiteral("Ⅱ级"));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(state().rg);
}

struct TypedCase {
    const char* name;
    const char* list;
    const char* typed;
    Qt::Key then; // Qt::Key_unknown: move the focus away instead
};

// Test names show the row's name, not its bytes.
void PrintTo(const TypedCase& row, std::ostream* os) {
    *os << row.name;
}

class TypingIsNoChoice : public MainFormTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypingIsNoChoice, LeavesTheValuesAndTheTypedText) {
    const TypedCase& c = GetParam();
    type(c.list, QString::fromUtf8(c.typed));
    if (c.then == Qt::Key_unknown) {
        widget("txtbc")->setFocus();
    } else {
        QTest::keyClick(widget(c.list), c.then);
    }
    EXPECT_FALSE(state().ra);
    EXPECT_FALSE(state().rg);
    EXPECT_FALSE(state().xi_jg);
    EXPECT_EQ(text(c.list).toStdString(), c.typed) << "typed text is kept as typed";
    EXPECT_EQ(widget<QComboBox>(c.list)->count(), std::string(c.list) == "cbohnt" ? 7 : 5)
        << "typed text never becomes an item";
}

const TypedCase kTypedCases[] = {
    {"ConcreteGradeThenEnter", "cbohnt", "25号", Qt::Key_Return},
    {"SteelGradeThenEnter", "cbodj", "Ⅰ级", Qt::Key_Enter},
    {"ConcreteGradeThenLeave", "cbohnt", "60号", Qt::Key_unknown},
    {"SteelGradeThenLeave", "cbodj", "5号", Qt::Key_unknown},
    {"LowerCaseRomanNumeralThenLeave", "cbodj", "ⅰ级", Qt::Key_unknown},
    {"UnknownGradeThenEnter", "cbohnt", "35号", Qt::Key_Return},
    {"PrefixOfAGrade", "cbohnt", "2", Qt::Key_unknown},
};

INSTANTIATE_TEST_SUITE_P(GradeLists, TypingIsNoChoice, ::testing::ValuesIn(kTypedCases),
                         [](const ::testing::TestParamInfo<TypedCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(MainFormTest, WheelOverAClosedListChangesNothing) {
    QComboBox* list = widget<QComboBox>("cbodj");
    pick_by_keys("cbodj", 0); // Ⅰ级
    for (int delta : {-120, 120, -120}) {
        const QPointF at(list->width() / 2.0, list->height() / 2.0);
        QWheelEvent wheel(at, list->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &wheel);
    }
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(rg_of(state()), 240000.0);
}

TEST_F(MainFormTest, TypingAnotherGradeAfterAPickKeepsThePickedValues) {
    pick_by_keys("cbodj", 0); // Ⅰ级
    type("cbodj", QStringLiteral("Ⅳ级"));
    QTest::keyClick(widget("cbodj"), Qt::Key_Return);
    widget("txtmj")->setFocus();
    EXPECT_EQ(rg_of(state()), 240000.0);
    EXPECT_EQ(state().xi_jg, 0.65);
    EXPECT_EQ(text("cbodj"), QStringLiteral("Ⅳ级"));
}

TEST_F(MainFormTest, PickingTheSameGradeAgainAfterAnOverrideRestoresIt) {
    pick_by_mouse("cbodj", QStringLiteral("Ⅰ级"));
    click("optpd");
    type("txtrg", QStringLiteral("300"));
    type("txtag", QStringLiteral("10"));
    type("txtbi", QStringLiteral("1"));
    type("txtb", QStringLiteral("0.5"));
    type("txth", QStringLiteral("1"));
    type("txtmj", QStringLiteral("-1"));
    pick_by_keys("cbohnt", 1); // 20号
    click("cmdrun");
    EXPECT_EQ(rg_of(state()), 300000.0);
    pick_by_mouse("cbodj", QStringLiteral("Ⅰ级"));
    ASSERT_TRUE(state().rg);
    EXPECT_TRUE(std::holds_alternative<std::int32_t>(*state().rg));
    EXPECT_EQ(rg_of(state()), 240000.0);
}

} // namespace
