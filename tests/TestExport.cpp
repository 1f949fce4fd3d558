#include <QTest>
class TestExport : public QObject { Q_OBJECT };
QTEST_MAIN(TestExport)
#include "TestExport.moc"
