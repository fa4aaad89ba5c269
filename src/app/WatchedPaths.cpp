#include "app/WatchedPaths.h"

#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <QHash>
#include <QPointer>

namespace pathwicks {

namespace {

// The program's one watch, with how many WatchedPaths follow each path and who they are.
class SharedWatch : public QObject {
public:
    explicit SharedWatch(QObject* parent) : QObject(parent), watcher_(new QFileSystemWatcher(this)) {
        connect(watcher_, &QFileSystemWatcher::fileChanged, this, &SharedWatch::tell);
        connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &SharedWatch::tell);
        // Closing the watch waits until the kernel has let go of what it followed. Let go of
        // it all as the program begins to quit, and that wait passes while the windows close.
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
            const QStringList all = watcher_->files() + watcher_->directories();
            if (!all.isEmpty())
                watcher_->removePaths(all);
        });
    }

    static SharedWatch& instance() {
        if (!shared())
            shared() = new SharedWatch(QCoreApplication::instance());
        return *shared();
    }

    // Nothing once the application, which owns it, has gone.
    static SharedWatch* existing() { return shared().data(); }

    void join(WatchedPaths* client) { clients_ << client; }
    void leave(WatchedPaths* client) { clients_.removeOne(client); }

    void add(const QSet<QString>& paths, const QSet<QString>& added) {
        for (const QString& path : added)
            ++users_[path];
        // Qt skips what it watches already, and takes up again what the system let go.
        if (!paths.isEmpty())
            watcher_->addPaths(paths.values());
    }

    void remove(const QSet<QString>& removed) {
        QStringList unused;
        for (const QString& path : removed) {
            auto it = users_.find(path);
            if (it != users_.end() && --*it == 0) {
                users_.erase(it);
                unused << path;
            }
        }
        if (!unused.isEmpty())
            watcher_->removePaths(unused);
    }

private:
    static QPointer<SharedWatch>& shared() {
        static QPointer<SharedWatch> watch;
        return watch;
    }

    void tell(const QString& path) {
        // A client may go, or change what it follows, while it is told.
        const QList<QPointer<WatchedPaths>> told(clients_.begin(), clients_.end());
        for (const auto& client : told) {
            if (client && client->follows(path))
                emit client->changed(path);
        }
    }

    QFileSystemWatcher* watcher_;
    QHash<QString, int> users_;
    QList<WatchedPaths*> clients_;
};

} // namespace

WatchedPaths::WatchedPaths(QObject* parent) : QObject(parent) {
    SharedWatch::instance().join(this);
}

WatchedPaths::~WatchedPaths() {
    if (auto* shared = SharedWatch::existing()) {
        shared->remove(paths_);
        shared->leave(this);
    }
}

void WatchedPaths::watch(const QStringList& paths) {
    const QSet<QString> next(paths.begin(), paths.end());
    auto& shared = SharedWatch::instance();
    shared.add(next, next - paths_);
    shared.remove(paths_ - next);
    paths_ = next;
}

QStringList WatchedPaths::paths() const {
    return paths_.values();
}

bool WatchedPaths::follows(const QString& path) const {
    return paths_.contains(path);
}

} // namespace pathwicks
