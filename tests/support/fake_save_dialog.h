// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/save_dialog.h"

#include <functional>
#include <optional>
#include <vector>

// A save dialog answered by the test: the path in `answer`, or cancel where it holds none.
class FakeSaveDialog : public SaveDialog {
public:
    std::optional<QString> answer;
    std::vector<SavedForm> asked;          // each time it was shown, in order
    std::function<void(SavedForm)> on_ask; // called as it is shown

    std::optional<QString> ask_path(SavedForm form) override {
        asked.push_back(form);
        if (on_ask) {
            on_ask(form);
        }
        return answer;
    }
};
