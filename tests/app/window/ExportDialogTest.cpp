#include "app/ExportDialog.h"
#include "canvas/CanvasHost.h"

#include "FakeDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include <unistd.h>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

class MemoryDefaults : public UserDefaults {
public:
    std::optional<std::string> stringValue(std::string_view key) const override {
        return values.contains(std::string(key)) ? std::optional(values.at(std::string(key)))
                                                 : std::nullopt;
    }
    void setString(std::string_view key, const std::string& value) override {
        values[std::string(key)] = value;
    }
    std::map<std::string, std::string> values;
};

} // namespace

// Over a fake export: the options offered follow what export takes with each format, a
// failure keeps export's words, a success is remembered for the document alone.
TEST(ExportDialog, BuildsExportsArgumentsAndRemembersTheLastChoicePerDocument) {
    const fs::path folder = fs::temp_directory_path() / ("pathwicks-export-" + std::to_string(getpid()));
    fs::create_directories(folder / "out");
    std::string document = (folder / "walk.pathwicks").string();
    MemoryDefaults defaults;
    pathwicks::testing::FakeDialogs dialogs;
    std::vector<std::vector<std::string>> ran;
    int status = 1;
    const auto dialog = [&] {
        return std::make_unique<ExportDialog>(
            document, defaults, dialogs,
            [&](const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
                ran.push_back(args);
                err << (status ? "pathwicks export: <b>no</b> folder\n" : "");
                return status;
            },
            nullptr);
    };
    auto d = dialog();
    const auto choose = [&](const char* extension) {
        auto* format = d->findChild<QComboBox*>("exportFormat");
        format->setCurrentIndex(format->findData(extension));
    };
    const auto option = [&](const char* flag) {
        return d->findChild<QCheckBox*>(QString("exportOption") + flag);
    };
    choose("md");
    EXPECT_FALSE(option("--grid")->isVisibleTo(d.get())); // only beside the picture
    EXPECT_FALSE(option("--allow-missing")->isVisibleTo(d.get()));
    option("--picture")->setChecked(true);
    option("--grid")->setChecked(true);
    const std::string md = (folder / "walk.md").string();
    EXPECT_EQ(d->arguments(), (std::vector<std::string>{"--picture", "--grid", "--", document, md}));
    choose("png");
    d->findChild<QSpinBox*>("exportScale")->setValue(3);
    const std::string png = (folder / "walk.png").string();
    EXPECT_EQ(d->arguments(), (std::vector<std::string>{"--scale=3", "--grid", "--", document, png}));

    choose("mmd");
    d->findChild<QLineEdit*>("exportFile")->setText((folder / "out" / "chart").c_str());
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(d->message(), "pathwicks export: <b>no</b> folder");
    EXPECT_TRUE(defaults.values.empty());
    status = 0;
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(ran.back().back(), (folder / "out" / "chart.mmd").string());

    d = dialog();
    EXPECT_EQ(d->outPath().toStdString(), (folder / "out" / "walk.mmd").string());
    // A file that is there already is replaced only when the user agrees.
    std::ofstream(folder / "out" / "walk.mmd") << "old";
    d->accept();
    EXPECT_EQ(dialogs.said.back(), "replace? walk.mmd");
    EXPECT_EQ(ran.size(), 2u);
    document = (folder / "other.pathwicks").string();
    EXPECT_EQ(dialog()->outPath().toStdString(), (folder / "other.html").string());
    fs::remove_all(folder);
}
