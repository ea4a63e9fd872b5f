// SPDX-License-Identifier: GPL-3.0-or-later
// 计  算's menu: a table run from the window (the question before replacing, the summary, the
// failure, the cancel) and the template of the window's inputs.
#include "gui_test_support.h"

#include "batch/batch_files.h"
#include "ui/batch_command.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zhuheng;
using namespace zhuheng::batch;

namespace {

const QByteArray kHeader = QStringLiteral(
    "编号,计算类型,混凝土标号,钢筋等级,钢筋强度（MPa）,钢筋面积（cm2）,保护层厚度（m）,"
    "翼缘宽度（m）,翼缘厚度（m）,梁肋宽度（m）,梁体高度（m）,承受弯矩（KN.m）\r\n").toUtf8();
const QByteArray kDesignRow =
    QStringLiteral("L1,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1300\r\n").toUtf8();

QByteArray bytes_of(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void write_file(const QString& path, const QByteArray& bytes, int times = 1) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < times; ++i) {
        file.write(bytes);
    }
}

class BatchMenuTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        table = dir.filePath(QStringLiteral("梁表.csv"));
        results = dir.filePath(QStringLiteral("梁表-结果.csv"));
    }

    QMenu* open_run_menu() {
        QWidget* run = widget("cmdrun");
        run->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form->windowHandle(), Qt::Key_Menu);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    void take(Qt::Key key) {
        QMenu* menu = open_run_menu();
        ASSERT_TRUE(menu) << "计  算's menu did not open";
        QTest::keyClick(menu, key);
    }

    void wait_for_batch() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form->batch_running(); }, 60000))
            << "the batch did not end";
    }

    QString summary(std::size_t rows, std::size_t completed) const {
        BatchSummary s;
        s.rows = rows;
        s.completed = completed;
        return batch_summary_text(s, {QStringLiteral("梁表-结果.csv")});
    }

    QTemporaryDir dir;
    QString table;
    QString results;
};

// The menu opens on a right click, the menu key and Shift+F10; it holds the batch and the
// template, each with its key; the button's tip says so. B asks for a table, T for the
// template's file; cancelled, both write nothing and say nothing.
TEST_F(BatchMenuTest, OpensByMouseAndKeysAndTakesEachItemByItsKey) {
    QWidget* run = widget("cmdrun");
    for (const char* said : {"右击", "菜单键", "Shift+F10", "批量计算", "批量模板"}) {
        EXPECT_TRUE(run->toolTip().contains(QString::fromUtf8(said))) << said;
    }
    QWindow* window = form->windowHandle();
    QTest::mouseClick(window, Qt::RightButton, {}, run->mapTo(form.get(), QPoint(8, 8)));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu) << "no menu on a right click";
    QStringList items;
    for (const QAction* action : menu->actions()) {
        items << action->text();
    }
    EXPECT_EQ(items, (QStringList{QStringLiteral("批量计算(&B)…"), QStringLiteral("保存批量模板(&T)…")}));
    QTest::keyClick(menu, Qt::Key_Escape);
    run->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window, Qt::Key_F10, Qt::ShiftModifier);
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu) << "no menu on Shift+F10";
    QTest::keyClick(menu, Qt::Key_Escape);

    take(Qt::Key_B);
    EXPECT_EQ(batch_dialogs.tables_asked, 1);
    EXPECT_EQ(batch_dialogs.choices_asked, 0);
    take(Qt::Key_T);
    EXPECT_EQ(save_dialog.asked, std::vector<SavedForm>{SavedForm::Csv});
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// The template holds the mode and the texts of the lists and boxes as they stand, the hidden
// steel area's too, typed text in a list included; a name that is a folder's is refused.
TEST_F(BatchMenuTest, TheTemplateHoldsTheWindowsTexts) {
    pick_by_keys("cbohnt", 2);
    click("optpd");
    type("txtag", QStringLiteral("25"));
    click("optpj");
    type("cbodj", QStringLiteral("II"));
    type("txtrg", QStringLiteral("300"));
    type("txtbc", QStringLiteral("0.05"));
    type("txtmj", QStringLiteral("0.8m"));
    TemplateRow expected;
    expected.mode = CalcMode::Design;
    expected.concrete_grade = "25号";
    expected.steel_grade = "II";
    expected.rg = "300";
    expected.section = {"25", "0.05", "", "", "", "", "0.8m"};

    const QString path = dir.filePath(QStringLiteral("模板.csv"));
    save_dialog.answer = path;
    take(Qt::Key_T);
    EXPECT_EQ(bytes_of(path).toStdString(), template_table(expected));

    save_dialog.answer = dir.path();
    messages.expect(MessageIcon::Warning,
                    QStringLiteral("保存失败：无法写入模板“%1”：这是一个文件夹的名称，不是文件")
                        .arg(QDir::toNativeSeparators(dir.path())));
    take(Qt::Key_T);
}

// A results table from before: 否 keeps it and runs nothing, 是 runs the table and replaces it;
// the summary names the file and offers to open it. The window's state is not touched.
TEST_F(BatchMenuTest, ReplacingTheResultsIsAsked) {
    write_file(table, kHeader + kDesignRow);
    write_file(results, "earlier");
    batch_dialogs.table = table;
    const CalcState before = state();
    const QString question = QStringLiteral("“梁表-结果.csv”已存在。要替换吗？");
    messages.expect_question(question, false);
    take(Qt::Key_B);
    EXPECT_FALSE(form->batch_running());
    EXPECT_EQ(bytes_of(results), QByteArray("earlier"));

    messages.expect_question(question, true);
    messages.expect(MessageIcon::Information, summary(1, 1), results);
    take(Qt::Key_B);
    wait_for_batch();
    EXPECT_TRUE(bytes_of(results).contains("72.345"));
    EXPECT_EQ(state().mode, before.mode);
    EXPECT_EQ(state().ra, before.ra);
    EXPECT_EQ(text("txtagl"), QStringLiteral(" "));
}

// A table the batch cannot run is said with the reason the file layer gives, and writes nothing.
TEST_F(BatchMenuTest, AFailedRunSaysWhy) {
    write_file(table, QStringLiteral("编号,计算类型\r\nL1,配筋计算\r\n").toUtf8());
    batch_dialogs.table = table;
    QString reason;
    try {
        run_batch_files({table, dir.filePath(QStringLiteral("直接.csv")), {}, {}, false});
        FAIL() << "a table without its columns ran";
    } catch (const TableError& e) {
        reason = QString::fromUtf8(e.what());
    }
    messages.expect(MessageIcon::Warning, QStringLiteral("批量计算失败：") + reason);
    take(Qt::Key_B);
    wait_for_batch();
    EXPECT_FALSE(QFile::exists(results));
}

// A long table shows its progress while the window stays in use; 取消 ends the run, which
// writes nothing and says so.
TEST_F(BatchMenuTest, ACancelledRunWritesNothing) {
    write_file(table, kHeader);
    {
        QFile file(table);
        ASSERT_TRUE(file.open(QIODevice::Append));
        for (int i = 0; i < 500000; ++i) {
            file.write(kDesignRow);
        }
    }
    batch_dialogs.table = table;
    messages.expect(MessageIcon::Information, QStringLiteral("批量计算已取消，没有写入任何文件。"));
    take(Qt::Key_B);
    QProgressDialog* progress = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        progress = form->findChild<QProgressDialog*>();
        return progress && progress->isVisible();
    }, 30000)) << "no progress was shown";
    type("txtmj", QStringLiteral("1300")); // the window takes input meanwhile
    QPushButton* cancel = progress->findChild<QPushButton*>();
    ASSERT_TRUE(cancel);
    EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    wait_for_batch();
    EXPECT_FALSE(QFile::exists(results));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("梁表.csv")});
}

// The summary: the counts, the lines of the rows in error and of those that differ (ten named,
// then 等), and every file written.
TEST(BatchSummaryText, NamesCountsLinesAndFiles) {
    struct Row {
        const char* name;
        BatchSummary summary;
        QStringList written;
        QString text;
    };
    BatchSummary clean;
    clean.rows = 3;
    clean.completed = 2;
    clean.redimensioned = 1;
    BatchSummary faults_and_errors;
    faults_and_errors.rows = 4;
    faults_and_errors.completed = 1;
    faults_and_errors.faults = 1;
    faults_and_errors.error_lines = {3, 5};
    faults_and_errors.mismatch_lines = {2};
    BatchSummary many_errors;
    many_errors.rows = 12;
    many_errors.error_lines = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    const QStringList one{QStringLiteral("表-结果.csv")};
    for (const Row& row :
         {Row{"clean", clean, one,
              QStringLiteral("批量计算完成：共 3 行。\n算得结果 2 行，需重新拟定尺寸 1 行，计算出错 0 "
                             "行。\n已写入“表-结果.csv”。")},
          Row{"errors_and_mismatch", faults_and_errors,
              {QStringLiteral("表-结果.csv"), QStringLiteral("表-计算书.pdf")},
              QStringLiteral("批量计算完成：共 4 行。\n算得结果 1 行，需重新拟定尺寸 0 行，计算出错 1 "
                             "行。\n数据有误未计算 2 行：第 3、5 行。\n与表中结果不一致 1 行：第 2 "
                             "行。\n已写入“表-结果.csv”、“表-计算书.pdf”。")},
          Row{"ten_lines_named", many_errors, one,
              QStringLiteral("批量计算完成：共 12 行。\n算得结果 0 行，需重新拟定尺寸 0 行，计算出错 0 "
                             "行。\n数据有误未计算 12 行：第 2、3、4、5、6、7、8、9、10、11 "
                             "行等。\n已写入“表-结果.csv”。")}}) {
        EXPECT_EQ(batch_summary_text(row.summary, row.written).toStdString(),
                  row.text.toStdString())
            << row.name;
    }
}

} // namespace
