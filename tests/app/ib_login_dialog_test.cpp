// The connection dialog and its remembered path and place, each test with a registry of its
// own.
#include "app/ib_login_dialog.h"
#include "app/main_velkorcontrol_window.h"
#include "db/client/ib_error.h"
#include "db/connection/ib_database.h"
#include "settings/registry.h"
#include "tests/support/error_box_recorder.h"
#include "tests/support/temporary_registry.h"
#include "ui/storage/form_storage.h"
#include "ui/storage/window_placement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <memory>

namespace velkor {

namespace {

constexpr char kSection[] = "\\/SOFTWARE/Trelvan\\ControlPanel";
constexpr char kDesignedPath[] = "IB_SERVER:/PATH/DATABASE.GDB";

// The stored text of a frame placed at `at`.
std::string NormPos(QPoint at, QSize frame)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(at.x())
        .arg(at.y())
        .arg(at.x() + frame.width())
        .arg(at.y() + frame.height())
        .toStdString();
}

std::string Stored(const std::string &name)
{
    return StoredString(kSection, name);
}

void Store(const std::string &name, const std::string &value)
{
    StoreString(kSection, name, value);
}

} // namespace

class IBLoginDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        home_ = std::make_unique<TemporaryConfigHome>();
        QVERIFY(home_->isValid());
    }
    void cleanup() { home_.reset(); }

    void dialog_is_laid_out_as_designed()
    {
        TIBLoginDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Interbase Login"));
        QCOMPARE(dialog.size(), QSize(331, 68));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.pos(), QPoint(312, 203));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(dialog.font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(dialog.font().pixelSize(), 11);
        QCOMPARE(dialog.Label1->text(), QStringLiteral("Database:"));
        // The caption's face may be a pixel wider than the design's: the label grows to it.
        QCOMPARE(dialog.Label1->pos(), QPoint(3, 3));
        QVERIFY(dialog.Label1->width() >= 49);
        QVERIFY(dialog.Label1->width() >=
                dialog.Label1->fontMetrics().horizontalAdvance(dialog.Label1->text()));
        QVERIFY(dialog.Label1->geometry().right() < dialog.DatabasePathEdit->x() + 326);
        QCOMPARE(dialog.DatabasePathEdit->geometry(), QRect(2, 16, 326, 21));
        QCOMPARE(dialog.DatabasePathEdit->text(), QString::fromLatin1(kDesignedPath));
        QCOMPARE(dialog.Button1->text(), QStringLiteral("OK"));
        QCOMPARE(dialog.Button1->geometry(), QRect(176, 41, 75, 25));
        QVERIFY(dialog.Button1->isDefault());
        QCOMPARE(dialog.Button2->text(), QStringLiteral("Cancel"));
        QCOMPARE(dialog.Button2->geometry(), QRect(254, 41, 75, 25));
        QCOMPARE(dialog.DatabasePathEdit->nextInFocusChain(), dialog.Button1);
        QCOMPARE(dialog.Button1->nextInFocusChain(), dialog.Button2);
        QCOMPARE(dialog.Label1->focusPolicy(), Qt::NoFocus);
        QCOMPARE(dialog.IBLoginStorage->IniFileName(), "/SOFTWARE/Trelvan");
        QCOMPARE(dialog.IBLoginStorage->IniSection(), "ControlPanel");
        QVERIFY(dialog.IBLoginStorage->UseRegistry());
        QCOMPARE(dialog.IBLoginStorage->StoredProps().Lines(),
                 std::vector<std::string>{"DatabasePathEdit.Text"});
    }

    void enter_accepts_and_escape_cancels()
    {
        for (const auto &[key, result] :
             {std::pair{Qt::Key_Return, QDialog::Accepted}, {Qt::Key_Escape, QDialog::Rejected}}) {
            TIBLoginDialog dialog;
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.DatabasePathEdit->setFocus();
            QTest::keyClick(dialog.DatabasePathEdit, key);
            QCOMPARE(dialog.result(), result);
            QVERIFY(!dialog.isVisible());
        }
    }

    void first_run_shows_the_designed_path_and_writes_the_whole_layout()
    {
        auto dialog = std::make_unique<TIBLoginDialog>();
        dialog->show();
        QCOMPARE(dialog->DatabasePathEdit->text(), QString::fromLatin1(kDesignedPath));
        QCOMPARE(dialog->pos(), QPoint(312, 203));
        // Reading alone makes the key, not yet the section.
        QVERIFY(TRegistry().KeyExists("\\/SOFTWARE/Trelvan"));
        QVERIFY(!TRegistry().KeyExists(kSection));
        dialog->Button1->click();
        const std::string suffix = ScreenSuffix(*dialog);
        const std::string ppi = std::to_string(PixelsPerInch(*dialog));
        const QSize frame = dialog->frameGeometry().size();
        const int frameWidth = FrameWidth(*dialog);
        const int frameHeight = FrameHeight(*dialog);
        dialog.reset();

        TRegistry root;
        QVERIFY(root.OpenKeyReadOnly("\\"));
        QCOMPARE(root.GetKeyNames(), std::vector<std::string>{"/SOFTWARE/Trelvan"});
        TRegistry section;
        QVERIFY(section.OpenKeyReadOnly(kSection));
        std::vector<std::string> names = section.GetValueNames();
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected = {"DatabasePathEdit_Text",
                                             "Flags",
                                             "FormVersion",
                                             "MinMaxPos",
                                             "MinMaxPos" + suffix,
                                             "NormPos",
                                             "NormPos" + suffix,
                                             "PixelsPerInch",
                                             "ShowCmd",
                                             "Visible"};
        std::sort(expected.begin(), expected.end());
        QCOMPARE(names, expected);
        for (const std::string &name : names)
            QCOMPARE(section.GetDataType(name), TRegDataType::rdString);
        QCOMPARE(Stored("FormVersion"), "0");
        QCOMPARE(Stored("Flags"), "0");
        QCOMPARE(Stored("ShowCmd"), "1");
        QCOMPARE(Stored("PixelsPerInch"), ppi);
        QCOMPARE(Stored("Visible"), "0");
        const std::string normPos = NormPos(QPoint(312, 203), frame);
        QCOMPARE(Stored("NormPos"), normPos);
        QCOMPARE(Stored("NormPos" + suffix), normPos);
        // No minimised position yet; the maximised frame lies just outside the screen.
        const std::string minMax =
            "-1,-1," + std::to_string(-frameWidth) + "," + std::to_string(-frameHeight);
        QCOMPARE(Stored("MinMaxPos"), minMax);
        QCOMPARE(Stored("MinMaxPos" + suffix), minMax);
        QCOMPARE(Stored("DatabasePathEdit_Text"), kDesignedPath);
    }

    void ok_and_cancel_both_store_the_trimmed_path_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void ok_and_cancel_both_store_the_trimmed_path()
    {
        QFETCH(bool, ok);
        {
            TIBLoginDialog dialog;
            dialog.show();
            dialog.DatabasePathEdit->setText(QStringLiteral("  server:/data/velkor.fdb \t"));
            (ok ? dialog.Button1 : dialog.Button2)->click();
            QCOMPARE(dialog.result(), ok ? QDialog::Accepted : QDialog::Rejected);
            QCOMPARE(Stored("DatabasePathEdit_Text"), "server:/data/velkor.fdb");
            Store("DatabasePathEdit_Text", "changed behind its back");
        }
        // Freeing the dialog does not save a second time.
        QCOMPARE(Stored("DatabasePathEdit_Text"), "changed behind its back");
        TIBLoginDialog again;
        again.show();
        QCOMPARE(again.DatabasePathEdit->text(), QStringLiteral("changed behind its back"));
    }

    void connect_uses_the_untrimmed_path_and_frees_the_dialog()
    {
        TMainVelkorcontrolWindow window;
        window.show();
        bool seen = false;
        QTimer::singleShot(0, &window, [&] {
            auto *dialog = qobject_cast<TIBLoginDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            dialog->DatabasePathEdit->setText(QStringLiteral(" localhost:/x.fdb "));
            dialog->Button1->click();
        });
        // No login is installed here, so the attach stops at the login with its cancel error,
        // after the typed path has become the connection's database name.
        QVERIFY_THROWS_EXCEPTION(EIBClientError, window.Button5Click());
        QVERIFY(seen);
        QCOMPARE(window.MainDatabase->DatabaseName(), std::string(" localhost:/x.fdb "));
        QVERIFY(window.findChildren<TIBLoginDialog *>().isEmpty());
        QCOMPARE(Stored("DatabasePathEdit_Text"), "localhost:/x.fdb");

        QTimer::singleShot(0, &window, [&] {
            auto *dialog = qobject_cast<TIBLoginDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->DatabasePathEdit->text(), QStringLiteral("localhost:/x.fdb"));
            dialog->DatabasePathEdit->setText(QStringLiteral("edited"));
            dialog->reject();
        });
        window.Button5Click();
        QCOMPARE(window.MainDatabase->DatabaseName(), std::string(" localhost:/x.fdb "));
        QVERIFY(window.findChildren<TIBLoginDialog *>().isEmpty());
        QCOMPARE(Stored("DatabasePathEdit_Text"), "edited");
    }

    void the_dialog_comes_back_where_it_was_moved()
    {
        {
            TIBLoginDialog dialog;
            dialog.show();
            dialog.move(100, 150);
            dialog.Button1->click();
        }
        TIBLoginDialog dialog;
        dialog.show();
        QCOMPARE(dialog.pos(), QPoint(100, 150));
        QCOMPARE(dialog.size(), QSize(331, 68));
    }

    void a_place_stored_beyond_the_screen_comes_back_fully_visible_data()
    {
        QTest::addColumn<bool>("qualified");
        QTest::addColumn<QString>("far");
        QTest::addColumn<bool>("inCorner");
        const TIBLoginDialog probe;
        const QPoint corner = probe.screen()->availableGeometry().bottomRight();
        // Saved on a larger screen, as far out as the designed place is in from the corner.
        const QString larger =
            QString::fromStdString(NormPos(corner + QPoint(700, 400), QSize(331, 68)));
        QTest::newRow("this screen's place") << true << larger << true;
        // After a change of resolution only the plain name has a place.
        QTest::newRow("the plain place") << false << larger << true;
        QTest::newRow("at the end of the numbers")
            << true << QStringLiteral("2147483000,2147483000,2147483600,2147483600") << false;
    }
    void a_place_stored_beyond_the_screen_comes_back_fully_visible()
    {
        QFETCH(bool, qualified);
        QFETCH(QString, far);
        QFETCH(bool, inCorner);
        const TIBLoginDialog probe;
        const QRect area = probe.screen()->availableGeometry();
        Store("FormVersion", "0");
        Store("PixelsPerInch", std::to_string(PixelsPerInch(probe)));
        Store("DatabasePathEdit_Text", "far:/away.fdb");
        Store(qualified ? "NormPos" + ScreenSuffix(probe) : "NormPos(2560x1600)",
              far.toStdString());
        if (!qualified)
            Store("NormPos", far.toStdString());

        TIBLoginDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(), QSize(331, 68));
        QVERIFY(area.contains(dialog.frameGeometry()));
        if (inCorner)
            QCOMPARE(dialog.frameGeometry().bottomRight(), area.bottomRight());
        QCOMPARE(dialog.DatabasePathEdit->text(), QStringLiteral("far:/away.fdb"));
    }

    void stored_values_that_do_not_fit_are_not_applied_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QString>("path");
        const QString stored = QStringLiteral("stored:/path.fdb");
        const QString designed = QString::fromLatin1(kDesignedPath);
        QTest::newRow("other pixels per inch") << "PixelsPerInch"
                                               << "1000" << QPoint(312, 203) << stored;
        QTest::newRow("left not less than right")
            << "NormPos"
            << "500,300,500,400" << QPoint(312, 203) << stored;
        QTest::newRow("reversed rectangle") << "NormPos"
                                            << "500,300,100,100" << QPoint(312, 203) << stored;
        QTest::newRow("words not numbers")
            << "NormPos"
            << "left, 150 ,right;bottom" << QPoint(312, 150) << stored;
        QTest::newRow("lower form version") << "FormVersion"
                                            << "-1" << QPoint(312, 203) << designed;
    }
    void stored_values_that_do_not_fit_are_not_applied()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QPoint, position);
        QFETCH(QString, path);
        Store("FormVersion", "0");
        Store("NormPos", "100,120,300,200");
        Store("PixelsPerInch", std::to_string(PixelsPerInch(TIBLoginDialog())));
        Store("DatabasePathEdit_Text", "stored:/path.fdb");
        Store(name.toStdString(), value.toStdString());
        QSize frame;
        {
            TIBLoginDialog dialog;
            dialog.show();
            QCOMPARE(dialog.pos(), position);
            QCOMPARE(dialog.size(), QSize(331, 68));
            QCOMPARE(dialog.DatabasePathEdit->text(), path);
            frame = dialog.frameGeometry().size();
            dialog.Button1->click();
        }
        // The close saves in every case, what the window shows now.
        QCOMPARE(Stored("FormVersion"), "0");
        QCOMPARE(Stored("DatabasePathEdit_Text"), path.toStdString());
        QCOMPARE(Stored("NormPos"), NormPos(position, frame));
    }

    void minimised_and_maximised_positions_that_are_not_numbers_become_zero()
    {
        Store("MinMaxPos", "a,b");
        {
            TIBLoginDialog dialog;
            dialog.show();
            dialog.Button1->click();
        }
        const std::string minMax = Stored("MinMaxPos");
        QVERIFY2(minMax.starts_with("0,0,"), minMax.c_str());
    }

    void a_window_never_shown_writes_nothing()
    {
        {
            TIBLoginDialog dialog;
            dialog.DatabasePathEdit->setText(QStringLiteral("never shown"));
        }
        QVERIFY(!std::filesystem::exists(std::filesystem::path(home_->path().toStdString()) /
                                         "velkor" / "registry.txt"));
    }

    void a_dialog_freed_without_closing_saves_with_visible_set()
    {
        {
            TIBLoginDialog dialog;
            dialog.show();
            dialog.DatabasePathEdit->setText(QStringLiteral(" freed "));
        }
        QCOMPARE(Stored("Visible"), "1");
        QCOMPARE(Stored("DatabasePathEdit_Text"), "freed");
    }

    void a_stored_number_is_reported_and_the_dialog_stays_usable()
    {
        {
            TRegistry registry;
            QVERIFY(registry.OpenKey(kSection, true));
            registry.WriteInteger("Flags", 1);
            registry.WriteString("DatabasePathEdit_Text", "stored");
        }
        test::TErrorBoxRecorder boxes;
        {
            TIBLoginDialog dialog;
            dialog.show();
            QCOMPARE(boxes.texts, QStringList{QStringLiteral("Invalid data type for 'Flags'")});
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.DatabasePathEdit->text(), QString::fromLatin1(kDesignedPath));
            dialog.DatabasePathEdit->setText(QStringLiteral("typed"));
            dialog.Button1->click();
            QCOMPARE(dialog.result(), QDialog::Accepted);
        }
        // Not restored, so nothing was saved over what is there.
        QCOMPARE(Stored("DatabasePathEdit_Text"), "stored");
        QCOMPARE(boxes.texts.size(), 1);
    }

    void a_stored_property_of_the_wrong_type_keeps_the_designed_text()
    {
        {
            TRegistry registry;
            QVERIFY(registry.OpenKey(kSection, true));
            registry.WriteInteger("DatabasePathEdit_Text", 5);
        }
        test::TErrorBoxRecorder boxes;
        TIBLoginDialog dialog;
        dialog.show();
        QCOMPARE(dialog.DatabasePathEdit->text(), QString::fromLatin1(kDesignedPath));
        dialog.Button2->click();
        QVERIFY(boxes.texts.isEmpty());
        QCOMPARE(Stored("DatabasePathEdit_Text"), kDesignedPath);
    }

    void a_failed_save_is_reported_and_the_dialog_still_closes()
    {
        test::TErrorBoxRecorder boxes;
        {
            TIBLoginDialog dialog;
            dialog.show();
            // From now on no file can be made: a plain file stands where the folder would be.
            const QString blocked = home_->filePath(QStringLiteral("blocked"));
            QFile file(blocked);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            qputenv("XDG_CONFIG_HOME", blocked.toUtf8());
            dialog.Button1->click();
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), QDialog::Accepted);
            QCOMPARE(boxes.texts.value(0), QStringLiteral("Failed to create key ControlPanel."));
        }
        for (const QString &text : boxes.texts)
            QCOMPARE(text, QStringLiteral("Failed to create key ControlPanel."));
    }

private:
    std::unique_ptr<TemporaryConfigHome> home_;
};

} // namespace velkor

QTEST_MAIN(velkor::IBLoginDialogTest)
#include "ib_login_dialog_test.moc"
