#pragma once
// Drives a modal dialog in a test: once it is shown (its exec() is running), act on it.
#include <QApplication>
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
