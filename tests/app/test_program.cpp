// The built program's command line, run as a separate process.
#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

struct ProgramRun {
  int exitCode = -1;
  QString out, err;
};

// Runs the program without any display: options that end at once must not
// need one.
ProgramRun RunProgram(const QStringList& args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("QT_QPA_PLATFORM", "xcb");
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(QUORVEL_EXE), args);
  ProgramRun r;
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.exitCode = p.exitCode();
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

TEST(Program, VersionAndHelpNeedNoDisplay) {
  ProgramRun r = RunProgram({"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, QStringLiteral("quorvel " QUORVEL_VERSION "\n"));

  r = RunProgram({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.startsWith("Usage: quorvel")) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("--port NAME"));
}

TEST(Program, AnUnknownOptionIsAOneLineErrorWithStatus2) {
  for (const QStringList& args : {QStringList{"--bogus"}, QStringList{"--port"}, QStringList{"stray"}}) {
    const ProgramRun r = RunProgram(args);
    EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("quorvel: ")) << r.err.toStdString();
  }
}

}  // namespace
