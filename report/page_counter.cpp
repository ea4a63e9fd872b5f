// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/page_counter.h"

PageCounter::PageCounter(int resolution, const QPageLayout& layout) : QPdfWriter(QString()) {
    setResolution(resolution);
    setPageLayout(layout);
}

QPaintEngine* PageCounter::paintEngine() const {
    return &engine_;
}
