#include "app/WatchedPaths.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using pathwicks::WatchedPaths;

// Two parts of the program following one folder share the system's watch of it: when one
// stops, or goes, the other is still told of the folder's changes, and only it.
TEST(WatchedPaths, WhoStillFollowsAPathIsToldOfItsChanges) {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath();
    auto first = std::make_unique<WatchedPaths>();
    WatchedPaths second, stopped;
    first->watch({folder});
    second.watch({folder});
    stopped.watch({folder});
    stopped.watch({});
    QSignalSpy told(&second, &WatchedPaths::changed);
    QSignalSpy toldStopped(&stopped, &WatchedPaths::changed);
    first.reset();

    std::ofstream((folder + "/new.txt").toStdString()) << "x";
    ASSERT_TRUE(QTest::qWaitFor([&] { return told.count() == 1; })) << told.count();
    EXPECT_EQ(told.front().front().toString(), folder);
    EXPECT_EQ(toldStopped.count(), 0);
    EXPECT_EQ(second.paths(), QStringList{folder});
}
