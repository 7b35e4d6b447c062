#include "app/common/file_types.h"
#include "app/common/list_drag.h"

#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace lumeno {

TEST(FileTypes, ExtensionsMapToTheTenTypes)
{
    EXPECT_EQ(FileTypeOf("a.jpg"), TFileType::ftJPG);
    EXPECT_EQ(FileTypeOf("/x/A.JPEG"), TFileType::ftJPG);
    EXPECT_EQ(FileTypeOf("a.Jpe"), TFileType::ftJPG);
    EXPECT_EQ(FileTypeOf("scan.tiff"), TFileType::ftTIF);
    EXPECT_EQ(FileTypeOf("clip.avi"), TFileType::ftAVI);
    EXPECT_EQ(FileTypeOf("my.photo.png"), TFileType::ftPNG);
    EXPECT_STREQ(FileTypeName(FileTypeOf("a.tga")), "TGA");
}

TEST(FileTypes, PartialAndMissingExtensionsAreNoType)
{
    EXPECT_EQ(FileTypeOf("x.if"), TFileType::ftNone);
    EXPECT_EQ(FileTypeOf("x.jp"), TFileType::ftNone);
    EXPECT_EQ(FileTypeOf("x.jpg.xyz"), TFileType::ftNone);
    EXPECT_EQ(FileTypeOf(".jpg"), TFileType::ftNone);
    EXPECT_EQ(FileTypeOf("/photos.2019/readme"), TFileType::ftNone);
    EXPECT_EQ(FileExtension("/a.b/.hidden"), "");
    EXPECT_EQ(FileExtension("/a/.hidden.png"), "png");
    EXPECT_STREQ(FileTypeName(TFileType::ftNone), "");
}

TEST(ListDrag, RoundTripsAndRejectsForeignData)
{
    std::unique_ptr<QMimeData> data(EncodeListDrag({"/pics", {"a.jpg", "b c.png"}, 1}));
    const auto drag = DecodeListDrag(data.get());
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->Tag, 1);
    EXPECT_EQ(drag->Paths(), (QStringList{"/pics/a.jpg", "/pics/b c.png"}));

    QMimeData foreign;
    foreign.setText("/pics/a.jpg");
    EXPECT_FALSE(DecodeListDrag(&foreign));
    QMimeData damaged;
    damaged.setData(ListDragMimeType, QByteArray("\x01", 1));
    EXPECT_FALSE(DecodeListDrag(&damaged));
}

TEST(ListDrag, FilesOfAFileManagerAreTakenAsAListDrag)
{
    QMimeData oneFolder;
    oneFolder.setUrls({QUrl::fromLocalFile("/pics/a.jpg"), QUrl::fromLocalFile("/pics/b c.png")});
    const auto drag = DecodeListDrag(&oneFolder);
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->Folder, "/pics");
    EXPECT_EQ(drag->Captions, (QStringList{"a.jpg", "b c.png"}));
    EXPECT_EQ(drag->Tag, 0);
    EXPECT_TRUE(CarriesListDrag(&oneFolder));

    QMimeData twoFolders;
    twoFolders.setUrls({QUrl::fromLocalFile("/pics/a.jpg"), QUrl::fromLocalFile("/other/b.png"),
                        QUrl("https://example.com/c.jpg")});
    EXPECT_EQ(DecodeListDrag(&twoFolders)->Paths(), (QStringList{"/pics/a.jpg", "/other/b.png"}));

    QMimeData remote;
    remote.setUrls({QUrl("https://example.com/c.jpg")});
    EXPECT_FALSE(DecodeListDrag(&remote));
    EXPECT_FALSE(CarriesListDrag(&remote));
}

TEST(FileTypes, PicturesAreEveryTypeButVideo)
{
    EXPECT_TRUE(IsPictureFile("/a/x.jpeg"));
    EXPECT_TRUE(IsPictureFile("/a/x.JPG"));
    EXPECT_TRUE(IsPictureFile("/a/x.tiff"));
    EXPECT_TRUE(IsPictureFile("/a/x.wmf"));
    EXPECT_FALSE(IsPictureFile("/a/x.if"));
    EXPECT_FALSE(IsPictureFile("/a/x.xyz"));
    EXPECT_FALSE(IsPictureFile("/a/x.avi"));
    EXPECT_FALSE(IsPictureFile("/a/.jpg"));
}

} // namespace lumeno
