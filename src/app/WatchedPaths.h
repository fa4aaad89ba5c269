#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

namespace pathwicks {

// The files and folders one part of the program follows on disk. Every part shares one watch
// of the system's: closing a watch (an inotify instance) makes the kernel wait a grace period,
// tens of milliseconds, so a watch of their own would stall each window as it closes and the
// program as it quits, once for each.
class WatchedPaths : public QObject {
    Q_OBJECT
public:
    explicit WatchedPaths(QObject* parent = nullptr);
    ~WatchedPaths() override;

    // Follows these paths from now on, and no others. A path watched already is watched again,
    // so a file that was replaced on disk, whose watch the system ended, is followed anew.
    void watch(const QStringList& paths);
    QStringList paths() const;
    bool follows(const QString& path) const;

signals:
    // A followed file changed, was replaced or went; or a followed folder's list changed.
    void changed(const QString& path);

private:
    QSet<QString> paths_;
};

} // namespace pathwicks
