// The status line keeps what a command reported when the command's dialog closes over a lane:
// only the pointer crossing into a lane names the lane there.
#include <QCursor>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include "document_fixture.h"
#include "shell/app.h"

namespace {

using testsupport::DocumentFixture;

class StatusLine : public DocumentFixture {
  protected:
    void pointAt(DragCanvas* lane, QPoint p) {
        QCursor::setPos(lane->mapToGlobal(p));
        QApplication::processEvents();
    }
};

TEST_F(StatusLine, AnOpenDialogClosingOverALaneKeepsTheMessage) {
    const QString doc = path("mix.txt");
    ASSERT_TRUE(testsupport::writeFile(doc, documents::playlistHeaderLine() +
                                                record(1, 100, 400, "a", media("a.mp3")) +
                                                record(2, 100, 400, "gone", path("gone.mp3"))));
    // The file dialog is a real modal window over the lanes, chosen from after a moment.
    platform::dialogHooks().openFile = [&](const QString&, const QStringList&) {
        QDialog dialog(w);
        dialog.setGeometry(w->geometry().adjusted(100, 20, -100, -20));
        QTimer::singleShot(20, &dialog, &QDialog::accept);
        dialog.exec();
        return doc;
    };
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));

    const struct {
        const char* name;
        DragCanvas* lane;
    } cases[] = {{"lane 1", w->Canvas1}, {"lane 2", w->Canvas2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        w->init();
        pointAt(w->Canvas1, {400, -30});  // over the ruler
        pointAt(c.lane, {400, 20});
        ASSERT_EQ(w->msg->Text(), QString::number(c.lane->lane()));  // the pointer came in

        App::instance()->dispatch(*w->MenuBar()->_Lookup("menuopen"));
        QApplication::processEvents();
        EXPECT_EQ(w->Canvas1->mPics.size(), 1u);
        // What Open reported, not the lane's number.
        EXPECT_TRUE(w->msg->Text().startsWith("1 track was not loaded"))
            << w->msg->Text().toStdString();
        w->msg->setText(QString());
    }
}

}  // namespace
