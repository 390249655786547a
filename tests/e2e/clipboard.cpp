// The X clipboard for the end-to-end tests, as a player's other programs use it.
//   clipboard get    prints the clipboard's text exactly, with no newline added
//   clipboard set    takes the text on standard input, owns the clipboard, says "owned"
//                    on standard output and serves the text until another program takes
//                    the clipboard (or a minute has passed)

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>

namespace {

int printClipboard()
{
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return 0;
}

int serveClipboard(QGuiApplication& application)
{
    const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromStdString(text));
    if (!clipboard->ownsClipboard()) {
        std::fputs("clipboard: could not take the clipboard\n", stderr);
        return 1;
    }
    QObject::connect(clipboard, &QClipboard::changed, &application, [&](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            application.quit();
    });
    QTimer::singleShot(60'000, &application, &QGuiApplication::quit);
    std::puts("owned");
    std::fflush(stdout);
    return application.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "get") == 0)
        return printClipboard();
    if (argc == 2 && std::strcmp(argv[1], "set") == 0)
        return serveClipboard(application);
    std::fputs("usage: clipboard get | set\n", stderr);
    return 2;
}
