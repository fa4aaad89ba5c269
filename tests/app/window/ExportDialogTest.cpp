#include "app/ExportDialog.h"
#include "canvas/CanvasHost.h"

#include "FakeDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>

#include <unistd.h>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

class MemoryDefaults : public UserDefaults {
public:
    std::optional<std::string> stringValue(std::string_view key) const override {
        const auto found = values.find(std::string(key));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void setString(std::string_view key, const std::string& value) override {
        values[std::string(key)] = value;
    }
    std::map<std::string, std::string> values;
};

// The dialog over a fake export that keeps the arguments it was given and answers as told.
class ExportDialogTest : public ::testing::Test {
protected:
    ExportDialogTest()
        : folder(fs::temp_directory_path() /
                 ("pathwicks-export-dialog-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::create_directories(folder / "out");
        document = (folder / "walk.pathwicks").string();
    }
    ~ExportDialogTest() override { fs::remove_all(folder); }

    std::unique_ptr<ExportDialog> dialog() {
        return std::make_unique<ExportDialog>(
            document, defaults, dialogs,
            [this](const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
                ran.push_back(args);
                err << said;
                return status;
            },
            nullptr);
    }
    static void choose(ExportDialog& d, const QString& extension) {
        auto* format = d.findChild<QComboBox*>("exportFormat");
        format->setCurrentIndex(format->findData(extension));
    }
    static QCheckBox* option(ExportDialog& d, const char* flag) {
        return d.findChild<QCheckBox*>(QString("exportOption") + flag);
    }

    fs::path folder;
    std::string document;
    MemoryDefaults defaults;
    pathwicks::testing::FakeDialogs dialogs;
    std::vector<std::vector<std::string>> ran;
    std::string said;
    int status = 0;
};

} // namespace

TEST_F(ExportDialogTest, EachFormatOffersTheOptionsExportTakesWithIt) {
    auto d = dialog();
    const std::string md = (folder / "walk.md").string();
    const std::string png = (folder / "walk.png").string();
    choose(*d, "md");
    EXPECT_EQ(d->outPath().toStdString(), md);
    EXPECT_TRUE(option(*d, "--picture")->isVisibleTo(d.get()));
    EXPECT_FALSE(option(*d, "--grid")->isVisibleTo(d.get())); // only beside the picture
    EXPECT_FALSE(option(*d, "--allow-missing")->isVisibleTo(d.get()));
    option(*d, "--picture")->setChecked(true);
    option(*d, "--grid")->setChecked(true);
    EXPECT_EQ(d->arguments(), (std::vector<std::string>{"--picture", "--grid", "--", document, md}));

    choose(*d, "png");
    d->findChild<QSpinBox*>("exportScale")->setValue(3);
    EXPECT_FALSE(option(*d, "--picture")->isVisibleTo(d.get()));
    EXPECT_EQ(d->arguments(), (std::vector<std::string>{"--scale=3", "--grid", "--", document, png}));

    choose(*d, "tour");
    EXPECT_FALSE(d->findChild<QSpinBox*>("exportScale")->isVisibleTo(d.get()));
    EXPECT_TRUE(option(*d, "--allow-missing")->isVisibleTo(d.get()));
    EXPECT_FALSE(option(*d, "--grid")->isVisibleTo(d.get()));
}

TEST_F(ExportDialogTest, AFailureStaysWithItsWordsAndASuccessIsRememberedForTheDocument) {
    auto d = dialog();
    choose(*d, "mmd");
    d->findChild<QLineEdit*>("exportFile")->setText((folder / "out" / "chart").string().c_str());
    status = 1;
    said = "pathwicks export: <b>no</b> folder\n";
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(d->message(), "pathwicks export: <b>no</b> folder");
    EXPECT_EQ(d->findChild<QLabel*>("exportMessage")->textFormat(), Qt::PlainText);
    EXPECT_TRUE(defaults.values.empty());

    status = 0;
    said.clear();
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(ran.back().back(), (folder / "out" / "chart.mmd").string());

    // The next export of this document starts where this one ended; another document's not.
    auto again = dialog();
    EXPECT_EQ(again->outPath().toStdString(), (folder / "out" / "walk.mmd").string());
    document = (folder / "other.pathwicks").string();
    EXPECT_EQ(dialog()->outPath().toStdString(), (folder / "other.html").string());

    // A file that is there already is replaced only when the user agrees.
    std::ofstream(folder / "out" / "walk.mmd") << "old";
    again->accept();
    EXPECT_EQ(dialogs.said.back(), "replace? walk.mmd");
    EXPECT_EQ(ran.size(), 2u);
}
