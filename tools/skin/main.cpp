// dvoyliki-skin: makes and inspects the game's skins. Each command throws dvl::Error on
// failure. Each file it writes appears whole or not at all; `unpack` keeps the pictures
// written before a failure, and `lzrw` may have written part of its standard output.

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"
#include "skins/Lzrw.h"
#include "skins/TDvlImageList.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <vector>

namespace dvl {
namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;
// Larger pictures are refused by size before decoding; this caps what a
// decoder may allocate for a picture that lies about its size.
constexpr int kReaderAllocationLimitMb = 512;
// Pictures larger than this are refused before they are decoded.
constexpr qint64 kMaxInputPixels = 8192LL * 8192LL;
// An item whose pictures are larger than this is not exported.
constexpr qint64 kMaxOutputPixels = 4096LL * 4096LL;
constexpr std::size_t kMaxStreamBytes = 256u * 1024u * 1024u;

QString PictureError(const QString& path, const QString& why) {
    return QStringLiteral("Cannot read picture %1: %2").arg(path, why);
}

// Indexed by TDvlSavePixelFormat.
constexpr const char* kFormatNames[] = {"default", "mono", "4-bit", "8-bit"};

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        throw Error("Cannot encode a picture as PNG");
    }
    return bytes;
}

// One picture's columns of a strip; columns past the strip's edge stay white.
QImage Cut(const QImage& strip, int x, int width, int height) {
    QImage out(width, height, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), strip, QRect(x, 0, width, height));
    return out;
}

// A picture as its file holds it, checked for size.
QImage ReadPicture(const QString& path) {
    QImageReader::setAllocationLimit(kReaderAllocationLimitMb);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxInputPixels) {
        throw Error(PictureError(path, QStringLiteral("it is larger than 8192 x 8192 pixels")));
    }
    QImage image = reader.read();
    if (image.isNull()) {
        throw Error(PictureError(path, reader.errorString()));
    }
    if (qint64(image.width()) * image.height() > kMaxInputPixels) {
        throw Error(PictureError(path, QStringLiteral("it is larger than 8192 x 8192 pixels")));
    }
    return image;
}

// `image` scaled to fill `side` × `side`, centred and cropped, on the black board.
QImage Fill(const QImage& image, int side) {
    const QImage scaled =
        image.scaled(side, side, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    QImage out(side, side, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(QPoint((side - scaled.width()) / 2, (side - scaled.height()) / 2), scaled);
    p.end();
    return out;
}

QImage Strip(const QList<QImage>& pictures, int side) {
    QImage strip(side * kSkinPictureCount, side, QImage::Format_RGB32);
    QPainter p(&strip);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < kSkinPictureCount; ++i) {
        p.drawImage(QPoint(i * side, 0), Fill(pictures[i], side));
    }
    p.end();
    return strip;
}

// Writes a packed skin of the 13 pictures (back, then 12 faces), each in any
// format Qt reads, scaled to fill, centred and cropped, transparent parts black:
// one item of 100 × 100, and a second of 200 × 200 when every picture is at
// least that large.
void Pack(const QString& out, const QStringList& pictures) {
    if (pictures.size() != kSkinPictureCount) {
        throw Error(QStringLiteral("A skin needs %1 pictures, not %2")
                        .arg(kSkinPictureCount)
                        .arg(pictures.size()));
    }
    QList<QImage> read;
    bool large = true; // every picture has the pixels for the double-size item
    for (const QString& path : pictures) {
        read.append(ReadPicture(path));
        large = large && read.back().width() >= 2 * kSkinPictureSize &&
                read.back().height() >= 2 * kSkinPictureSize;
    }
    TDvlImageList list;
    list.Add(TDvlImageListItem::GameSkin(kSkinPictureSize, kSkinPictureCount,
                                         Strip(read, kSkinPictureSize)));
    if (large) {
        list.Add(TDvlImageListItem::GameSkin(2 * kSkinPictureSize, kSkinPictureCount,
                                             Strip(read, 2 * kSkinPictureSize)));
    }
    list.SaveToFile(out);
}

// Writes every picture of every item of `in` as PNG into `dir` (made if
// missing). Returns the names written.
QStringList Unpack(const QString& in, const QString& dir) {
    TDvlImageList list;
    list.LoadFromFile(in);

    // Everything is decoded and encoded before the first file is written.
    QList<QPair<QString, QByteArray>> files;
    for (int i = 0; i < list.Count(); ++i) {
        const TDvlImageListItem& item = list.Item(i);
        if (item.PictureCount() == 0) {
            continue;
        }
        if (qint64(item.Width()) * item.Height() > kMaxOutputPixels) {
            throw Error(
                QStringLiteral("Item %1 has pictures of %2 x %3 pixels, too large to export")
                    .arg(i)
                    .arg(item.Width())
                    .arg(item.Height()));
        }
        const int digits = std::max(2, int(QString::number(item.PictureCount() - 1).size()));
        for (int j = 0; j < item.PictureCount(); ++j) {
            const int x = TDvlImageListItem::EntryOffset(item.Pictures()[std::size_t(j)]);
            const QString number = QStringLiteral("%1").arg(j, digits, 10, QLatin1Char('0'));
            files.append({QStringLiteral("item%1-picture%2.png").arg(i).arg(number),
                          Png(Cut(item.Strip(), x, item.Width(), item.Height()))});
            if (item.Masked()) {
                files.append({QStringLiteral("item%1-mask%2.png").arg(i).arg(number),
                              Png(Cut(item.MaskStrip(), x, item.Width(), item.Height()))});
            }
        }
    }

    if (!QDir().mkpath(dir)) {
        throw Error(QStringLiteral("Cannot create directory %1").arg(dir));
    }
    QStringList written;
    for (const auto& [name, bytes] : files) {
        const QString path = QDir(dir).filePath(name);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            const QString why = file.errorString();
            for (const QString& done : written) {
                QFile::remove(QDir(dir).filePath(done));
            }
            throw Error(QString::fromLatin1(kCannotCreateFile).arg(path), why.toStdString());
        }
        written.append(name);
    }
    return written;
}

// Describes every item of `in`.
void Info(const QString& in, std::ostream& out) {
    TDvlImageList list;
    list.LoadFromFile(in);
    out << in.toStdString() << ": " << list.Count() << (list.Count() == 1 ? " item" : " items")
        << '\n';
    for (int i = 0; i < list.Count(); ++i) {
        const TDvlImageListItem& item = list.Item(i);
        const bool twice = i == 1 && item.IsDoubleOf(list.Item(0));
        out << "item " << i
            << (twice ? " (item 0's pictures at twice the size, for high-density screens)" : "")
            << '\n'
            << "  description: " << item.Description().toStdString() << '\n'
            << "  ident: " << item.Ident() << '\n'
            << "  size: " << item.Width() << " x " << item.Height() << '\n'
            << "  pictures: " << item.PictureCount() << '\n'
            << "  used width: " << item.UsedWidth() << '\n'
            << "  compressed: " << (item.Compressed() ? "yes" : "no") << '\n'
            << "  masked: " << (item.Masked() ? "yes" : "no") << '\n'
            << "  pixel format: " << kFormatNames[int(item.PixelFormat())] << '\n'
            << "  strip depth: " << item.StripDepth() << '\n';
    }
}

// The packed-stream codec over whole buffers.
std::vector<std::uint8_t> LzrwPack(const std::vector<std::uint8_t>& bytes) {
    ByteWriter out;
    lzrw::PackStream(bytes, out);
    return out.take();
}

std::vector<std::uint8_t> LzrwUnpack(const std::vector<std::uint8_t>& bytes) {
    ByteReader in(bytes);
    std::vector<std::uint8_t> out;
    lzrw::UnpackStream(in, out);
    if (!in.atEnd()) {
        throw Error("Unexpected data after the packed stream", std::to_string(in.remaining()) +
                                                                   " bytes at offset " +
                                                                   std::to_string(in.pos()));
    }
    return out;
}

int Usage() {
    std::cerr << "usage: dvoyliki-skin pack OUT.iml BACK FACE1 ... FACE12\n"
                 "       dvoyliki-skin unpack IN.iml DIR\n"
                 "       dvoyliki-skin info IN.iml\n"
                 "       dvoyliki-skin lzrw pack|unpack   (standard input to standard output)\n"
                 "\n"
                 "pack    makes a skin of 13 pictures in any format Qt reads: the card back,\n"
                 "        then the twelve faces; each is scaled to fill 100 x 100 and cropped,\n"
                 "        and when all are at least 200 x 200, kept again at that size for\n"
                 "        screens scaled above 100 %\n"
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
            throw Error("Standard input is too large", "more than 256 MiB");
        }
        if (n < sizeof chunk) {
            break;
        }
    }
    if (std::ferror(stdin)) {
        throw Error("Cannot read standard input");
    }
    return bytes;
}

void WriteStandardOutput(const std::vector<std::uint8_t>& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        throw Error("Cannot write standard output");
    }
}

int Run(const QStringList& args) {
    if (args.isEmpty()) {
        return Usage();
    }
    const QString& command = args[0];
    if (command == QLatin1String("pack") && args.size() == 2 + kSkinPictureCount) {
        Pack(args[1], args.mid(2));
        return 0;
    }
    if (command == QLatin1String("unpack") && args.size() == 3) {
        for (const QString& name : Unpack(args[1], args[2])) {
            std::cout << name.toStdString() << '\n';
        }
        return 0;
    }
    if (command == QLatin1String("info") && args.size() == 2) {
        Info(args[1], std::cout);
        return 0;
    }
    if (command == QLatin1String("lzrw") && args.size() == 2) {
        if (args[1] == QLatin1String("pack")) {
            WriteStandardOutput(LzrwPack(ReadStandardInput()));
            return 0;
        }
        if (args[1] == QLatin1String("unpack")) {
            WriteStandardOutput(LzrwUnpack(ReadStandardInput()));
            return 0;
        }
    }
    return Usage();
}

} // namespace
} // namespace dvl

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    try {
        return dvl::Run(args);
    } catch (const dvl::Error& e) {
        std::cerr << "dvoyliki-skin: " << e.what();
        if (!e.detail().empty()) {
            std::cerr << " (" << e.detail() << ")";
        }
        std::cerr << '\n';
    } catch (const std::exception& e) {
        std::cerr << "dvoyliki-skin: " << e.what() << '\n';
    }
    return dvl::kFailed;
}
