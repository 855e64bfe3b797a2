// The desktop services: twips, settings, the throttled yield, type names
// and icons.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

#include "platform/desktop/DesktopFileIcons.h"
#include "platform/desktop/EventLoopYieldHandler.h"
#include "platform/desktop/MimeTypeNames.h"
#include "platform/desktop/SettingsStore.h"
#include "platform/desktop/Twips.h"

namespace {

TEST(Twips, FifteenPerPixelAt96AndExactBothWays)
{
    const desktop::TwipsScale normal(96, 96);
    EXPECT_EQ(normal.ToPixelsX(1440), 96);
    EXPECT_EQ(normal.ToPixelsY(15), 1);
    EXPECT_EQ(normal.ToPixelsX(4000), 267);  // 266.67 rounds to nearest
    EXPECT_DOUBLE_EQ(normal.ToTwipsX(600), 9000);
    const desktop::TwipsScale large(144, 120);
    EXPECT_EQ(large.ToPixelsX(4000), 400);
    EXPECT_EQ(large.ToPixelsY(3000), 250);
    EXPECT_DOUBLE_EQ(large.ToTwipsY(250), 3000);
    // A screen that reports no resolution is taken as 96 DPI.
    const desktop::TwipsScale unknown(0, -1);
    EXPECT_EQ(unknown.ToPixelsX(1440), 96);
    EXPECT_EQ(unknown.ToPixelsY(1440), 96);
}

TEST(Settings, ExactTextRoundTripsAndMissingKeysGiveTheDefault)
{
    desktop::QtSettingsStore store(QStringLiteral("desktop-roundtrip"));
    EXPECT_EQ(store.Read("settings", "lastpath", "/default"), QStringLiteral("/default"));
    const QString texts[] = {QString(), QStringLiteral("  *.exe ; *.dll  "), QStringLiteral("/a=b/[x]/ü\\;#")};
    for (const QString& text : texts) {
        store.Write("settings", "lastpath", text);
        EXPECT_EQ(desktop::QtSettingsStore(QStringLiteral("desktop-roundtrip")).Read("settings", "lastpath", "?"),
                  text);
    }
}

TEST(Settings, DefaultStoreIsNamedAfterTheExecutableUnderTheConfigHome)
{
    EXPECT_EQ(desktop::QtSettingsStore::ExecutableBaseName(), QStringLiteral("test_desktop"));
    desktop::QtSettingsStore().Write("settings", "lastfilter", "*.ocx");
    const QString file = qEnvironmentVariable("XDG_CONFIG_HOME") + "/test_desktop/test_desktop.conf";
    EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
}

TEST(Settings, AnUnwritableLocationThrows)
{
    const QString blocker = qEnvironmentVariable("XDG_CONFIG_HOME") + "/desktop-blocked";
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    desktop::QtSettingsStore store(QStringLiteral("desktop-blocked"));
    EXPECT_THROW(store.Write("settings", "lastpath", "/"), std::runtime_error);
}

TEST(EventLoopYield, RunsPendingEventsAtMostOncePerInterval)
{
    int timerRuns = 0;
    const auto post = [&] { QTimer::singleShot(0, [&] { ++timerRuns; }); };
    const platform::YieldHandler slow = desktop::MakeEventLoopYield(std::chrono::seconds(30));
    post();
    slow();
    EXPECT_EQ(timerRuns, 1);
    post();
    slow();  // too soon: returns at once
    EXPECT_EQ(timerRuns, 1);

    const platform::YieldHandler fast = desktop::MakeEventLoopYield(std::chrono::milliseconds(5));
    fast();
    EXPECT_EQ(timerRuns, 2);
    post();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    fast();
    EXPECT_EQ(timerRuns, 3);
}

TEST(EventLoopYield, ScopedHandlerIsInstalledAndPutBack)
{
    int outer = 0;
    int inner = 0;
    const platform::YieldHandler before = platform::SetYieldHandler([&] { ++outer; });
    {
        desktop::ScopedYieldHandler scoped([&] { ++inner; });
        platform::YieldToEventLoop();
    }
    platform::YieldToEventLoop();
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(outer, 1);
    platform::SetYieldHandler(before);
}

TEST(MimeTypeNames, KnownExtensionsGetTheDatabaseNameOthersTheBuiltInRule)
{
    desktop::MimeTypeNameProvider names;
    EXPECT_EQ(names.TypeNameFor("a.zzqqy"), "ZZQQY File");
    EXPECT_EQ(names.TypeNameFor("noextension"), platform::DefaultTypeName("noextension"));
    const std::string html = names.TypeNameFor("page.HTML");
    EXPECT_FALSE(html.empty());
    EXPECT_NE(html, "HTML File");
    // Only the name counts: a file that does not exist still has a type.
    EXPECT_EQ(names.TypeNameFor("/no/such/dir/page.html"), names.TypeNameFor("page.html"));
}

TEST(DesktopFileIcons, ImagesShowTheirOwnIconOthersTheThemesAtTheRequestedSize)
{
    desktop::DesktopFileIconSource icons;
    const std::string withIcon = LUMBREL_FIXTURES_DIR "/pe/no_version_icon.dll";
    const std::string withoutIcon = LUMBREL_FIXTURES_DIR "/pe/plain32.dll";
    struct Case {
        std::string path;
        std::int32_t handle;
    };
    for (const Case& file : {Case{withIcon, desktop::kIconFromImage}, Case{withoutIcon, desktop::kIconFromTheme},
                             Case{"/no/such/file.txt", desktop::kIconFromTheme}}) {
        for (const auto size : {platform::IconSize::Small, platform::IconSize::Large}) {
            SCOPED_TRACE(file.path);
            const platform::FileIconImage icon = icons.IconFor(file.path, size);
            EXPECT_EQ(icon.sourceHandle, file.handle);
            QImage image;
            ASSERT_TRUE(image.loadFromData(icon.encodedImage.data(), static_cast<int>(icon.encodedImage.size())));
            EXPECT_EQ(image.width(), size == platform::IconSize::Small ? 16 : 32);
        }
    }
}

} // namespace
