#pragma once
// Drives a modal dialog in a test: once it is shown (its exec() is running), act on it.
#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

template <class D>
void whenShown(std::function<void(D&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        act(*d);
    });
}

// In the statistic dialog that is about to open: extract (the own-data file is answered by the
// scripted prompts), choose list entry `row` and confirm.
template <class StatisticDialog>
void extractAndChooseWhenShown(int row)
{
    whenShown<StatisticDialog>([row](StatisticDialog& d) {
        d.cmdExtract_Click();
        d.template findChild<QListWidget*>(QStringLiteral("lstStatistic"))->setCurrentRow(row);
        d.cmdGo_Click();
    });
}
