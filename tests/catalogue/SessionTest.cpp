#include "catalogue/CatalogueSession.h"
#include "foldertree/FolderTree.h"
#include "tests/catalogue/FakeLibrary.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace catalogue;

TEST(CatalogueSession, InitConnectsAndPreparesTheCatalogueSide) {
    auto library = std::make_shared<fake::FakeLibrary>();
    CatalogueSession session;
    session.Kinds.Build();
    session.ViewFilter = 3;
    ASSERT_TRUE(session.Init([&] { return library; }));
    EXPECT_EQ(session.Library, library);
    EXPECT_EQ(session.ViewFilter, 255);
    EXPECT_NE(session.PathNodeTree, 0);
    EXPECT_EQ(Tree_FindPathNode(session.PathNodeTree, "/m/"), 0);
    EXPECT_EQ(session.Counts.Caption(TAB_ELIGIBLE), u"Eligi&ble Songs (0)"_s);
    EXPECT_EQ(&session.ListMain(0), &session.Eligible);
    EXPECT_EQ(&session.ListMain(1), &session.Ineligible);

    const int32_t tree = session.PathNodeTree;
    session.UnInit();
    EXPECT_EQ(session.PathNodeTree, 0);
    EXPECT_EQ(Tree_AddPathNode(tree, "/m/", 1), 0); // the old handle is gone
    EXPECT_FALSE(session.Kinds.IsBuilt());
    EXPECT_EQ(session.Library, nullptr);
    EXPECT_EQ(library.use_count(), 1);
    session.UnInit(); // a second release is harmless
}

TEST(CatalogueSession, InitFailsWithoutChangingAnythingWhenTheOpenerThrows) {
    const LibraryOpener failingOpeners[] = {
        []() -> musiclibrary::ITunesPtr {
            throw musiclibrary::LibraryError(musiclibrary::LibraryError::NotFound,
                                             u"The folder \"/nowhere\" does not exist."_s);
        },
        []() -> musiclibrary::ITunesPtr { throw std::runtime_error("broken"); },
        []() -> musiclibrary::ITunesPtr { throw 42; },
        [] { return musiclibrary::ITunesPtr(); },
        LibraryOpener(),
    };
    for (const LibraryOpener& opener : failingOpeners) {
        CatalogueSession session;
        QString failure;
        EXPECT_FALSE(session.Init(opener, &failure));
        EXPECT_FALSE(failure.isEmpty());
        EXPECT_EQ(session.Library, nullptr);
        EXPECT_EQ(session.PathNodeTree, 0);
        session.UnInit(); // passes the 0 handle, as a close after such a start does
    }
    CatalogueSession session;
    QString failure;
    session.Init(failingOpeners[0], &failure);
    EXPECT_EQ(failure, u"The folder \"/nowhere\" does not exist."_s);
}

TEST(CatalogueSession, ConnectionFailureMessageHasFourParagraphs) {
    const QStringList paragraphs = CatalogueSession::ConnectionFailureMessage().split(u"\n\n"_s);
    ASSERT_EQ(paragraphs.size(), 4);
    EXPECT_EQ(paragraphs[0], u"Quillmoth cannot start because it cannot connect to iTunes!"_s);
    EXPECT_EQ(paragraphs[1], u"This version of Quillmoth requires iTunes version 7.7.1 or later. "
                             u"Please install, upgrade, or repair iTunes."_s);
    EXPECT_EQ(paragraphs[2],
              u"To repair your iTunes installation, use 'Add or Remove Programs' in the Windows "
              u"Control Panel. Select 'iTunes' with a single click, then click the 'Change' "
              u"button."_s);
    EXPECT_EQ(paragraphs[3], u"Quillmoth will now exit."_s);
    EXPECT_FALSE(CatalogueSession::ConnectionFailureMessage().contains(u'\r'));
}
