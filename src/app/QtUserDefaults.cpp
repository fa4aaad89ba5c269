#include "app/QtUserDefaults.h"

#include <QSettings>
#include <QString>
#include <QVariant>

namespace pathwicks {

namespace {

QString keyText(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace

std::optional<std::string> QtUserDefaults::stringValue(std::string_view key) const {
    const QVariant value = QSettings().value(keyText(key));
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString().toStdString();
}

void QtUserDefaults::setString(std::string_view key, const std::string& value) {
    QSettings settings;
    settings.setValue(keyText(key), QString::fromStdString(value));
    settings.sync();
}

} // namespace pathwicks
