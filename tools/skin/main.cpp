// dvoyliki-skin: makes and inspects the game's skins.

#include "core/Error.h"
#include "tools/skin/SkinTool.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;
constexpr std::size_t kMaxStreamBytes = 256u * 1024u * 1024u;

int Usage() {
    std::cerr << "usage: dvoyliki-skin pack OUT.iml BACK FACE1 ... FACE12\n"
                 "       dvoyliki-skin unpack IN.iml DIR\n"
                 "       dvoyliki-skin info IN.iml\n"
                 "       dvoyliki-skin lzrw pack|unpack   (standard input to standard output)\n"
                 "\n"
                 "pack    makes a skin of 13 pictures in any format Qt reads: the card back,\n"
                 "        then the twelve faces; each is scaled to fill 100 x 100 and cropped\n"
                 "unpack  writes every picture of every item as PNG into DIR\n"
                 "info    describes the items of a skin\n"
                 "lzrw    packs or unpacks the compressed stream used inside skins\n";
    return kBadUsage;
}

std::vector<std::uint8_t> ReadStandardInput() {
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, stdin);
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (bytes.size() > kMaxStreamBytes) {
            throw dvl::Error("Standard input is too large", "more than 256 MiB");
        }
        if (n < sizeof chunk) {
            break;
        }
    }
    if (std::ferror(stdin)) {
        throw dvl::Error("Cannot read standard input");
    }
    return bytes;
}

void WriteStandardOutput(const std::vector<std::uint8_t>& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        throw dvl::Error("Cannot write standard output");
    }
}

int Run(const QStringList& args) {
    if (args.isEmpty()) {
        return Usage();
    }
    const QString& command = args[0];
    if (command == QLatin1String("pack") && args.size() == 2 + dvl::skintool::kPictureCount) {
        dvl::skintool::Pack(args[1], args.mid(2));
        return 0;
    }
    if (command == QLatin1String("unpack") && args.size() == 3) {
        for (const QString& name : dvl::skintool::Unpack(args[1], args[2])) {
            std::cout << name.toStdString() << '\n';
        }
        return 0;
    }
    if (command == QLatin1String("info") && args.size() == 2) {
        dvl::skintool::Info(args[1], std::cout);
        return 0;
    }
    if (command == QLatin1String("lzrw") && args.size() == 2) {
        if (args[1] == QLatin1String("pack")) {
            WriteStandardOutput(dvl::skintool::LzrwPack(ReadStandardInput()));
            return 0;
        }
        if (args[1] == QLatin1String("unpack")) {
            WriteStandardOutput(dvl::skintool::LzrwUnpack(ReadStandardInput()));
            return 0;
        }
    }
    return Usage();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    try {
        return Run(args);
    } catch (const dvl::Error& e) {
        std::cerr << "dvoyliki-skin: " << e.what();
        if (!e.detail().empty()) {
            std::cerr << " (" << e.detail() << ")";
        }
        std::cerr << '\n';
    } catch (const std::exception& e) {
        std::cerr << "dvoyliki-skin: " << e.what() << '\n';
    }
    return kFailed;
}
