// Builds the Debian package from this build directory into a temporary folder of its own and
// checks what a user's machine gets: the files, the control fields, lintian, the AppStream
// metadata and the manual page. Skipped (exit 77) when the packaging tools are missing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cstdio>
#include <memory>
#include <ostream>

// Failure messages show QStrings as text.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

constexpr int kSkipped = 77;

const char* const kTools[] = {"dpkg-deb", "dpkg-shlibdeps", "dpkg-parsechangelog",
                              "file",     "lintian",        "appstreamcli",
                              "man",      "objdump"};

struct ToolRun {
    int code = -1;
    QString out;
    QString err;
};

ToolRun run(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    ToolRun result;
    if (!process.waitForStarted() || !process.waitForFinished(120000)) {
        result.err = program + QStringLiteral(": ") + process.errorString();
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString describe(const ToolRun& r) {
    return QStringLiteral("exit %1\n%2%3").arg(r.code).arg(r.out, r.err);
}

// Every regular file and symbolic link under root, as paths relative to it.
QSet<QString> files_under(const QString& root) {
    QSet<QString> files;
    QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.insert(QDir(root).relativeFilePath(it.next()));
    }
    return files;
}

QString read_text(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// The package is built once for all tests: cpack runs the install rules into its own
// temporary folder, so no other test is raced. (cpack first builds the "preinstall" target,
// which does nothing in a build that is up to date, as it is when ctest runs.)
struct Package {
    QTemporaryDir dir;
    QString deb;
    QString root;   // the package's files, unpacked
    QString stage;  // the same build installed with DESTDIR, for comparison
    QString error;
};

// The MIME type whose glob is pattern, from a shared-mime-info package file.
QString type_globbing(const QString& xml, const QString& pattern) {
    QXmlStreamReader reader(xml);
    QString type;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (reader.name() == QLatin1String("mime-type")) {
            type = reader.attributes().value(QLatin1String("type")).toString();
        } else if (reader.name() == QLatin1String("glob") &&
                   reader.attributes().value(QLatin1String("pattern")) == pattern) {
            return type;
        }
    }
    return {};
}

const Package& package() {
    static const std::unique_ptr<Package> built = [] {
        auto p = std::make_unique<Package>();
        if (!p->dir.isValid()) {
            p->error = QStringLiteral("no temporary folder");
            return p;
        }
        const ToolRun cpack = run(QStringLiteral(KOMA_CPACK_COMMAND),
                                  {QStringLiteral("-G"), QStringLiteral("DEB"),
                                   QStringLiteral("--config"), QStringLiteral(KOMA_CPACK_CONFIG),
                                   QStringLiteral("-B"), p->dir.filePath(QStringLiteral("out"))});
        if (cpack.code != 0) {
            p->error = QStringLiteral("cpack failed: ") + describe(cpack);
            return p;
        }
        const QStringList debs = QDir(p->dir.filePath(QStringLiteral("out")))
                                     .entryList({QStringLiteral("*.deb")}, QDir::Files);
        if (debs.size() != 1) {
            p->error = QStringLiteral("cpack made %1 .deb files").arg(debs.size());
            return p;
        }
        p->deb = p->dir.filePath(QStringLiteral("out/") + debs.first());
        p->root = p->dir.filePath(QStringLiteral("root"));
        const ToolRun unpack =
            run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), p->deb, p->root});
        if (unpack.code != 0) {
            p->error = QStringLiteral("dpkg-deb -x failed: ") + describe(unpack);
            return p;
        }
        p->stage = p->dir.filePath(QStringLiteral("stage"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), p->stage);
        const ToolRun install = run(QStringLiteral(KOMA_CMAKE_COMMAND),
                                    {QStringLiteral("--install"), QStringLiteral(KOMA_BUILD_DIR),
                                     QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                    env);
        if (install.code != 0) {
            p->error = QStringLiteral("cmake --install failed: ") + describe(install);
        }
        return p;
    }();
    return *built;
}

class PackageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(package().error.isEmpty()) << package().error.toStdString();
    }

    static QString field(const QString& name) {
        return run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), package().deb, name})
            .out.trimmed();
    }
    static QString in_root(const QString& relative) {
        return QDir(package().root).filePath(relative);
    }
};

QString architecture() {
    return run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed();
}

TEST_F(PackageTest, FileIsNamedAfterPackageVersionAndArchitecture) {
    EXPECT_EQ(QFileInfo(package().deb).fileName(),
              QStringLiteral("koma_%1_%2.deb").arg(QStringLiteral(KOMA_VERSION), architecture()));
}

TEST_F(PackageTest, ControlNamesPackageVersionSectionAndMaintainer) {
    EXPECT_EQ(field(QStringLiteral("Package")), QStringLiteral("koma"));
    EXPECT_EQ(field(QStringLiteral("Version")), QStringLiteral(KOMA_VERSION));
    EXPECT_EQ(field(QStringLiteral("Architecture")), architecture());
    EXPECT_EQ(field(QStringLiteral("Section")), QStringLiteral("graphics"));
    const QRegularExpression person(QStringLiteral("^[^<>]+ <[^@<>\\s]+@[^@<>\\s]+>$"));
    EXPECT_TRUE(person.match(field(QStringLiteral("Maintainer"))).hasMatch())
        << field(QStringLiteral("Maintainer")).toStdString();
}

TEST_F(PackageTest, DescriptionHasSummaryAndLongTextWithinEightyColumns) {
    const QStringList lines = field(QStringLiteral("Description")).split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3);
    EXPECT_FALSE(lines.first().trimmed().isEmpty());
    for (const QString& line : lines) {
        EXPECT_LE(line.size(), 80) << line.toStdString();
    }
}

// Every library that a packaged program or module needs is either in the package or comes
// from a package that Depends names: what shlibdeps is there to ensure.
TEST_F(PackageTest, DependsNamesThePackageOfEveryLibraryLinked) {
    const QString depends = field(QStringLiteral("Depends"));
    QSet<QString> named;
    for (const QString& item : depends.split(QRegularExpression(QStringLiteral("[,|]")))) {
        named.insert(
            item.trimmed().section(QLatin1Char(' '), 0, 0).section(QLatin1Char(':'), 0, 0));
    }
    QSet<QString> own_files;
    QStringList elf_files;
    for (const QString& f : files_under(package().root)) {
        own_files.insert(QFileInfo(f).fileName());
        QFile file(in_root(f));
        if (file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("\x7f"
                                                                         "ELF")) {
            elf_files << in_root(f);
        }
    }
    ASSERT_FALSE(elf_files.isEmpty());
    const ToolRun dump =
        run(QStringLiteral("objdump"), QStringList{QStringLiteral("-p")} + elf_files);
    ASSERT_EQ(dump.code, 0) << describe(dump).toStdString();
    static const QRegularExpression needed(QStringLiteral("^\\s+NEEDED\\s+(\\S+)$"),
                                           QRegularExpression::MultilineOption);
    QSet<QString> sonames;
    for (auto m = needed.globalMatch(dump.out); m.hasNext();) {
        const QString soname = m.next().captured(1);
        if (!own_files.contains(soname)) {
            sonames.insert(soname);
        }
    }
    ASSERT_FALSE(sonames.isEmpty());
    QStringList patterns;
    for (const QString& soname : sonames) {
        patterns << QStringLiteral("*/") + soname;
    }
    // "libc6:amd64, libc6:i386: /lib/x86_64-linux-gnu/libc.so.6", one line per path.
    const ToolRun where = run(QStringLiteral("dpkg"), QStringList{QStringLiteral("-S")} + patterns);
    QHash<QString, QSet<QString>> owners;
    for (const QString& line : where.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.lastIndexOf(QStringLiteral(": "));
        const QString file_name = QFileInfo(line.mid(colon + 2)).fileName();
        for (const QString& owner : line.left(colon).split(QStringLiteral(", "))) {
            owners[file_name].insert(owner.section(QLatin1Char(':'), 0, 0).trimmed());
        }
    }
    for (const QString& soname : sonames) {
        EXPECT_TRUE(owners.value(soname).intersects(named))
            << soname.toStdString() << " comes from "
            << QStringList(owners.value(soname).values()).join(QLatin1Char(' ')).toStdString()
            << "; Depends: " << depends.toStdString();
    }
}

// Whatever the install rules install is packaged, including targets added later.
TEST_F(PackageTest, HoldsEveryInstalledFileAndNothingElse) {
    EXPECT_EQ(files_under(package().root), files_under(package().stage));
}

// The program is one file: no shared object of its own, so no maintainer script has to run
// ldconfig after installing it.
TEST_F(PackageTest, HoldsOneProgramAndNoSharedObject) {
    QStringList elf_files;
    for (const QString& f : files_under(package().root)) {
        EXPECT_FALSE(f.startsWith(QLatin1String("usr/lib")) || f.contains(QLatin1String(".so")))
            << f.toStdString();
        QFile file(in_root(f));
        if (file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("\x7f"
                                                                         "ELF")) {
            elf_files << f;
        }
    }
    EXPECT_EQ(elf_files, QStringList{QStringLiteral("usr/bin/koma")});
    QTemporaryDir control;
    ASSERT_TRUE(control.isValid());
    const QString control_dir = control.filePath(QStringLiteral("DEBIAN"));
    const ToolRun extract =
        run(QStringLiteral("dpkg-deb"), {QStringLiteral("--control"), package().deb, control_dir});
    ASSERT_EQ(extract.code, 0) << describe(extract).toStdString();
    for (const QString& name : QDir(control_dir).entryList(QDir::Files)) {
        EXPECT_FALSE(
            read_text(QDir(control_dir).filePath(name)).contains(QLatin1String("ldconfig")))
            << name.toStdString();
    }
}

TEST_F(PackageTest, HoldsProgramMenuEntryIconMimeTypeMetadataManualAndLicence) {
    for (const char* path : {"usr/bin/koma", "usr/share/applications/io.github.koma.koma.desktop",
                             "usr/share/metainfo/io.github.koma.koma.metainfo.xml",
                             "usr/share/icons/hicolor/scalable/apps/koma.svg",
                             "usr/share/mime/packages/koma.xml", "usr/share/man/man1/koma.1.gz",
                             "usr/share/doc/koma/copyright", "usr/share/doc/koma/changelog.gz"}) {
        EXPECT_TRUE(QFileInfo::exists(in_root(QLatin1String(path)))) << path;
    }
}

// The menu entry opens .pst files: it names the MIME type that the MIME package defines for
// them, passes the file on, and its icon is packaged.
TEST_F(PackageTest, MenuEntryOpensTheStateFileType) {
    const QString entry =
        read_text(in_root(QStringLiteral("usr/share/applications/io.github.koma.koma.desktop")));
    const QString mime = read_text(in_root(QStringLiteral("usr/share/mime/packages/koma.xml")));
    const auto value = [&](const QString& key) {
        const QRegularExpression re(QStringLiteral("^%1=(.*)$").arg(key),
                                    QRegularExpression::MultilineOption);
        return re.match(entry).captured(1);
    };
    const QString pst_type = type_globbing(mime, QStringLiteral("*.pst"));
    ASSERT_FALSE(pst_type.isEmpty()) << "no MIME type globs *.pst";
    EXPECT_TRUE(value(QStringLiteral("MimeType")).split(QLatin1Char(';')).contains(pst_type));
    EXPECT_TRUE(
        value(QStringLiteral("Exec")).contains(QRegularExpression(QStringLiteral("%[fFuU]"))));
    EXPECT_TRUE(value(QStringLiteral("Exec")).startsWith(QStringLiteral("koma ")));
    const QString icon = value(QStringLiteral("Icon"));
    EXPECT_FALSE(files_under(in_root(QStringLiteral("usr/share/icons")))
                     .values()
                     .filter(QRegularExpression(
                         QStringLiteral("/%1\\.(svg|png)$").arg(QRegularExpression::escape(icon))))
                     .isEmpty())
        << "no icon file for Icon=" << icon.toStdString();
}

TEST_F(PackageTest, PackagedProgramRunsAndTellsItsVersion) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    const ToolRun version =
        run(in_root(QStringLiteral("usr/bin/koma")), {QStringLiteral("--version")}, env);
    EXPECT_EQ(version.code, 0) << describe(version).toStdString();
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("koma " KOMA_VERSION));
}

TEST_F(PackageTest, ChangelogTopEntryIsThisVersion) {
    const ToolRun parsed =
        run(QStringLiteral("dpkg-parsechangelog"),
            {QStringLiteral("-l"), QStringLiteral(KOMA_SOURCE_DIR "/data/debian/changelog"),
             QStringLiteral("-S"), QStringLiteral("Version")});
    EXPECT_EQ(parsed.code, 0) << describe(parsed).toStdString();
    EXPECT_EQ(parsed.out.trimmed(), QStringLiteral(KOMA_VERSION));
}

TEST_F(PackageTest, LintianFindsNoErrors) {
    const ToolRun lintian =
        run(QStringLiteral("lintian"),
            {QStringLiteral("--fail-on"), QStringLiteral("error"), package().deb});
    EXPECT_EQ(lintian.code, 0) << describe(lintian).toStdString();
}

// validate-tree also checks that the metadata's launchable names a packaged desktop entry.
TEST_F(PackageTest, AppStreamMetadataValidatesWithoutWarnings) {
    const ToolRun file =
        run(QStringLiteral("appstreamcli"),
            {QStringLiteral("validate"), QStringLiteral("--no-net"),
             in_root(QStringLiteral("usr/share/metainfo/io.github.koma.koma.metainfo.xml"))});
    EXPECT_EQ(file.code, 0) << describe(file).toStdString();
    const ToolRun tree =
        run(QStringLiteral("appstreamcli"),
            {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), package().root});
    EXPECT_EQ(tree.code, 0) << describe(tree).toStdString();
    for (const ToolRun& r : {file, tree}) {
        EXPECT_FALSE(r.out.contains(
            QRegularExpression(QStringLiteral("^\\s*[EW]: "), QRegularExpression::MultilineOption)))
            << r.out.toStdString();
    }
}

ToolRun render_manual(const QString& page) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("MANROFFSEQ"), QString());
    env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
    return run(QStringLiteral("man"),
               {QStringLiteral("--warnings"), QStringLiteral("-E"), QStringLiteral("UTF-8"),
                QStringLiteral("-l"), page},
               env);
}

TEST_F(PackageTest, ManualPageRendersWithoutWarnings) {
    const ToolRun page = render_manual(in_root(QStringLiteral("usr/share/man/man1/koma.1.gz")));
    EXPECT_EQ(page.code, 0) << describe(page).toStdString();
    EXPECT_TRUE(page.err.isEmpty()) << page.err.toStdString();
    EXPECT_TRUE(page.out.contains(QStringLiteral("EXIT STATUS")));
}

// The manual keeps up with the program: every option its help names is described.
TEST_F(PackageTest, ManualPageDescribesEveryOptionOfTheHelp) {
    const ToolRun help = run(QStringLiteral(KOMA_BINARY), {QStringLiteral("--help")});
    ASSERT_EQ(help.code, 0) << describe(help).toStdString();
    // The roff source, not the rendering, where a long option may be hyphenated at a line end.
    QString page = read_text(QStringLiteral(KOMA_SOURCE_DIR "/man/koma.1"));
    page.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    int options = 0;
    for (auto m = option.globalMatch(help.out); m.hasNext();) {
        const QString name = m.next().captured(0);
        ++options;
        EXPECT_TRUE(page.contains(name)) << name.toStdString() << " is not in the manual page";
    }
    EXPECT_GE(options, 3);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (const char* tool : kTools) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            std::printf(
                "Skipped: %s is not installed (scripts/setup --package installs the "
                "packaging tools)\n",
                tool);
            return kSkipped;
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
