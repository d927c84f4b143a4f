# Precompiled headers for the tests. A test file spends much of its compile time
# parsing the same Qt headers, so the tests share two precompiled headers (one for
# tests without widgets, one for tests with them). The libraries are unity builds
# instead (src/CMakeLists.txt): a batch reads its headers once, and a precompiled
# header costs more to make than it saves a handful of batches.
# Only Qt and standard headers go in: the project's own headers change often.
# QtTest stays out, as its headers read the QT_*_LIB macros, which differ per test.

set(KAVRI_PCH_CORE
  <algorithm> <array> <functional> <memory> <optional> <vector>
  <QtCore/QByteArray> <QtCore/QCoreApplication> <QtCore/QDateTime> <QtCore/QDir>
  <QtCore/QFile> <QtCore/QFileInfo> <QtCore/QList> <QtCore/QMap> <QtCore/QObject>
  <QtCore/QPointer> <QtCore/QRegularExpression> <QtCore/QString> <QtCore/QStringList>
  <QtCore/QTimer>)
set(KAVRI_PCH_NETWORK ${KAVRI_PCH_CORE}
  <QtNetwork/QNetworkAccessManager> <QtNetwork/QNetworkReply> <QtNetwork/QTcpServer>
  <QtNetwork/QTcpSocket>)
set(KAVRI_PCH_GUI
  <QtGui/QFont> <QtGui/QMouseEvent> <QtGui/QPainter> <QtGui/QPixmap> <QtGui/QScreen>
  <QtWidgets/QApplication> <QtWidgets/QLabel> <QtWidgets/QPushButton> <QtWidgets/QWidget>)
# The tests: the support library brings Qt Network to every test.
set(KAVRI_PCH_TEST_WIDGETS ${KAVRI_PCH_NETWORK} ${KAVRI_PCH_GUI})

# kavri_precompile(<target> CORE|NETWORK|TEST_WIDGETS)
function(kavri_precompile target set)
  target_precompile_headers(${target} PRIVATE ${KAVRI_PCH_${set}})
endfunction()
