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
    session.ViewFilter = 3;
    ASSERT_TRUE(session.Init([&] { return library; }));
    EXPECT_EQ(session.Library, library);
    EXPECT_EQ(session.ViewFilter, 255);
    EXPECT_NE(session.PathNodeTree, 0);

    const int32_t tree = session.PathNodeTree;
    session.UnInit();
    EXPECT_EQ(session.PathNodeTree, 0);
    EXPECT_EQ(Tree_AddPathNode(tree, "/m/", 1), 0); // the old handle is gone
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
        if (&opener == &failingOpeners[0]) {
            EXPECT_EQ(failure, u"The folder \"/nowhere\" does not exist."_s);
        }
    }
}
