// Where the window opens: at its designed place when it fits, else just inside the screen.

#include <QTest>

#include "window/placement.h"

class PlacementTest : public QObject {
  Q_OBJECT

 private slots:
  void fitTopLeft_data();
  void fitTopLeft();
};

void PlacementTest::fitTopLeft_data() {
  QTest::addColumn<QPoint>("wanted");
  QTest::addColumn<QSize>("frame");
  QTest::addColumn<QRect>("available");
  QTest::addColumn<QPoint>("expected");

  const QPoint designed(939, 241);
  const QSize inner(492, 584);
  const QSize decorated(494, 614);  // with a 30 px caption and 1 px borders

  QTest::newRow("large screen") << designed << inner << QRect(0, 0, 1600, 1000) << designed;
  QTest::newRow("laptop with bottom panel")
      << designed << decorated << QRect(0, 0, 1366, 728) << QPoint(872, 114);
  QTest::newRow("touches right and bottom edge")
      << QPoint(1108, 416) << inner << QRect(0, 0, 1600, 1000) << QPoint(1108, 416);
  QTest::newRow("one pixel over right and bottom edge")
      << QPoint(1109, 417) << inner << QRect(0, 0, 1600, 1000) << QPoint(1108, 416);
  QTest::newRow("only too low") << designed << inner << QRect(0, 0, 1600, 800) << QPoint(939, 216);
  QTest::newRow("top panel") << QPoint(939, 10) << inner << QRect(0, 40, 1600, 960)
                             << QPoint(939, 40);
  QTest::newRow("screen to the right of the origin")
      << designed << inner << QRect(1920, 0, 1280, 1024) << QPoint(1920, 241);
  QTest::newRow("screen left of and above the origin")
      << designed << inner << QRect(-1280, -1024, 1280, 1024) << QPoint(-492, -584);
  QTest::newRow("before the screen's corner")
      << QPoint(-50, -20) << inner << QRect(0, 0, 1600, 1000) << QPoint(0, 0);
  QTest::newRow("screen smaller than the window")
      << designed << decorated << QRect(10, 20, 400, 300) << QPoint(10, 20);
}

void PlacementTest::fitTopLeft() {
  QFETCH(QPoint, wanted);
  QFETCH(QSize, frame);
  QFETCH(QRect, available);
  QFETCH(QPoint, expected);

  const QPoint placed = window::FitTopLeft(wanted, frame, available);
  QCOMPARE(placed, expected);
  if (frame.width() <= available.width() && frame.height() <= available.height()) {
    QVERIFY(available.contains(QRect(placed, frame)));
  }
}

QTEST_APPLESS_MAIN(PlacementTest)
#include "placement_test.moc"
