// The toolkit's file dialog as Load, Save and Make open it.

#include "ui/FileDialogs.h"

#include "export/CFileChooser.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QSettings>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

TEST(FileDialogs, FiltersReadAsWrittenAllFilesListsEveryNameAndColumnsShowWhole)
{
    testsupport::TempDir dir;
    // The dialog keeps its state in the toolkit's settings: here, not in the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(dir.path()));
    testsupport::writeFile(dir / "mygames", "<games/>"); // saved under a name typed without a dot
    testsupport::writeFile(dir / "cat.xml", "<games/>");
    testsupport::writeFile(dir / "zork1.z3", "story");
    const CFileChooser load(CFileChooser::Kind::Open,
                            "Fingerprints (*.XML)|*.XML|Z-code Files (.z?;.blb;.dat;.zip)|"
                            "*.z?;*.blb;*.dat;*.zip|All files (*.*)|*.*|Stories|*.z3|",
                            "Open", nullptr, ui::runFileDialog);
    const auto dialog = ui::makeFileDialog(load);
    dialog->setDirectory(QString::fromStdString(dir.path()));

    QStringList shown;
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    for (int i = 0; i < types->count(); ++i) {
        shown << types->itemText(i);
    }
    EXPECT_EQ(shown.join('|').toStdString(), "Fingerprints (*.XML)|Z-code Files "
                                             "(.z?;.blb;.dat;.zip)|All files (*.*)|Stories (*.z3)");

    dialog->selectNameFilter(dialog->nameFilters().at(2));
    dialog->show();
    auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    const auto listed = [&] {
        QStringList names;
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
            names << view->model()->index(row, 0, view->rootIndex()).data().toString();
        }
        names.sort();
        return names.join('|').toStdString();
    };
    // The folder is read in the background.
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed() == "cat.xml|mygames|zork1.z3"; }))
        << listed();

    QAbstractItemView* columns = view; // the size hints are public there
    QCoreApplication::processEvents();
    for (int column = 0; column < 4; ++column) {
        EXPECT_GE(view->header()->sectionSize(column), columns->sizeHintForColumn(column))
            << column;
    }
    EXPECT_LE(view->header()->length(), view->viewport()->width());
}
