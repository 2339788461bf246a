// lumivex-designer: the form designer of edition 40. It installs a package in designer use (by
// default Lumivex40.so beside the program) through the host's package loader, and designs a form
// with the components that the package registered.
//
//   lumivex-designer [FILE] [--package FILE] [--screenshot OUT.png]
//
// With --screenshot it runs on Qt's offscreen platform, opens FILE, selects its first component,
// writes a picture of the whole window and exits. Exit: 0 done, 1 the package was refused or the
// file could not be read or written, 2 bad arguments.
#include <QApplication>
#include <QBuffer>
#include <QMessageBox>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/controls/WidgetSet.h"
#include "host/qt/QtWidgetSet.h"
#include "host/sysutils/AtomicFile.h"
#include "tools/lumivex-designer/Document.h"
#include "tools/lumivex-designer/MainWindow.h"

namespace {

using namespace lumivex::designer;

struct TArguments {
    std::string File, Package, Screenshot;
};

const char Usage[] =
    "usage: lumivex-designer [FILE] [--package FILE] [--screenshot OUT.png]\n"
    "\n"
    "The form designer of the Lumivex components: lay out forms and data modules with the\n"
    "components of a package and save them as form files (text or binary).\n"
    "\n"
    "  FILE                a form file to open (text or binary)\n"
    "  --package FILE      the package to install (default: Lumivex40.so beside the program)\n"
    "  --screenshot OUT    open FILE offscreen, select its first component, write a PNG of the\n"
    "                      whole window and exit\n"
    "  -h, --help          this text\n"
    "\n"
    "Exit: 0 done, 1 the package was refused or the file could not be read or written,\n"
    "2 bad arguments.\n";

bool Parse(int argc, char** argv, TArguments& Args) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            std::fputs(Usage, stdout);
            std::exit(0);
        }
        if ((a == "--package" || a == "--screenshot") && i + 1 < argc)
            (a == "--package" ? Args.Package : Args.Screenshot) = argv[++i];
        else if (!a.starts_with("-") && Args.File.empty())
            Args.File = a;
        else
            return false;
    }
    return true;
}

// The directory of the program, where its edition's package lies.
std::string ProgramDir(const char* Argv0) {
    std::string path = QCoreApplication::applicationDirPath().toStdString();
    if (path.empty()) {
        path = Argv0;
        const auto slash = path.rfind('/');
        path = slash == std::string::npos ? "." : path.substr(0, slash);
    }
    return path;
}

int Run(const TArguments& Args, const std::string& PackageFile) {
    const bool headless = !Args.Screenshot.empty();
    const auto fail = [headless](const std::string& Message) {
        if (headless)
            std::fprintf(stderr, "lumivex-designer: %s\n", Message.c_str());
        else
            QMessageBox::critical(nullptr, QStringLiteral("Lumivex Designer"),
                                  QString::fromStdString(Message));
        return 1;
    };
    std::unique_ptr<TInstalledPackages> installed;
    try {
        installed = std::make_unique<TInstalledPackages>(PackageFile);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    int status = 0;
    {
        TMainWindow window;
        std::string error;
        window.OnError = [&](const std::string& Message) {
            if (headless)
                error = Message;
            else
                QMessageBox::critical(&window, QStringLiteral("Lumivex Designer"),
                                      QString::fromStdString(Message));
        };
        if (!Args.File.empty() && !window.OpenFile(Args.File) && headless)
            return fail(error);
        if (headless) {
            TDocument& doc = window.Document();
            if (doc.Root().GetComponentCount() > 0)
                doc.Select(doc.Root().GetComponent(0));
            window.show();
            QApplication::processEvents();
            // Encoded in memory, then written whole or not at all.
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (!window.grab().save(&buffer, "PNG"))
                return fail("cannot encode the picture of the window");
            try {
                vcl::WriteFileAtomically(
                    Args.Screenshot,
                    std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
            } catch (const std::exception& e) {
                return fail(e.what());
            }
            window.hide();
        } else {
            window.OnClosed = [] { QApplication::quit(); };
            window.show();
            status = QApplication::exec();
        }
    }
    // The form and its editors are gone; now the package's registrations and its library.
    installed.reset();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    TArguments args;
    if (!Parse(argc, argv, args)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    vcl::qt::TQtOptions options;
    options.Offscreen = !args.Screenshot.empty();
    int status = 0;
    try {
        vcl::SetWidgetSet(vcl::qt::CreateQtWidgetSet(argc, argv, options));
        const std::string package =
            args.Package.empty() ? ProgramDir(argv[0]) + "/Lumivex40.so" : args.Package;
        status = Run(args, package);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumivex-designer: %s\n", e.what());
        status = 1;
    }
    vcl::SetWidgetSet(nullptr);
    return status;
}
