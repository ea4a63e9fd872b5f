// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/batch_dialogs.h"

#include <functional>
#include <optional>

// 批量计算's dialogs answered by the test: the table in `table` and the choices in `choices`, or
// cancel where they hold none.
class FakeBatchDialogs : public BatchDialogs {
public:
    std::optional<QString> table;
    std::optional<BatchChoices> choices = BatchChoices{};
    int tables_asked = 0;
    int choices_asked = 0;
    std::function<void()> on_ask_table;
    std::function<void(const QString&)> on_ask_choices;

    std::optional<QString> ask_table() override {
        ++tables_asked;
        if (on_ask_table) {
            on_ask_table();
        }
        return table;
    }
    std::optional<BatchChoices> ask_choices(const QString& asked_for) override {
        ++choices_asked;
        if (on_ask_choices) {
            on_ask_choices(asked_for);
        }
        return choices;
    }
};
