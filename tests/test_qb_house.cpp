// The house advert: its rotation through the bundle's list in virtual
// time, taps (opened links checked through TILTBOARD_OPEN_URL_LOG), its
// gradient, a view that is not live, and lists that are missing or wrong.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "MyAdClass/QBHouse.h"
#include "OverlayTestSupport.h"
#include "ScratchDirectory.h"
#include "host/core/Bundle.h"
#include "host/data/PlistValue.h"
#include "host/graphics/DrawingContext.h"
#include "host/graphics/Image.h"
#include "host/text/Font.h"
#include "host/ui/ImageView.h"
#include "host/ui/Label.h"

namespace {

struct Entry {
    std::string image, link, text;
};

const std::vector<Entry> kEntries = {
    {"one.png", "https://example.com/one", "First app"},
    {"two.png", "https://example.com/two", "Second app"},
    {"three.png", "https://example.com/three", "Third app"},
};

std::string listOf(const std::vector<Entry>& entries) {
    host::PlistValue::Array list;
    for (const Entry& e : entries) {
        host::PlistValue::Dictionary d;
        d["image"] = host::PlistValue(e.image);
        d["link"] = host::PlistValue(e.link);
        d["text"] = host::PlistValue(e.text);
        list.emplace_back(std::move(d));
    }
    return host::PlistValue(std::move(list)).toXml();
}

// The project's shipped resources, from this file's location.
std::string shippedResourcesDir() {
    const std::string here = __FILE__;
    return here.substr(0, here.rfind("/tests/")) + "/resources";
}

class HouseAdvertTest : public OverlayFixture {
protected:
    void SetUp() override {
        OverlayFixture::SetUp();
        ASSERT_FALSE(dir_.path().empty());
        for (const Entry& e : kEntries)
            writePngFile(dir_, e.image, 40, 30, [](unsigned, unsigned) { return Texel{200, 40, 40, 255}; });
        dir_.write("houseAds.plist", listOf(kEntries));
        host::Bundle::main().setResourcePath(dir_.path());
        opened_ = dir_.file("opened.txt");
        setenv("TILTBOARD_OPEN_URL_LOG", opened_.c_str(), 1);
        // Where the rotation view puts it: flush right along the top edge.
        slot_ = host::View::viewWithFrame(CGRectMake(160, 0, 320, 50));
        surface_->addSubview(slot_);
    }
    void TearDown() override {
        unsetenv("TILTBOARD_OPEN_URL_LOG");
        if (house_) {
            // As the rotation view takes it down.
            host::RunLoop::main().cancelPreviousPerformRequests(house_);
            house_->removeFromSuperview();
        }
        slot_->removeFromSuperview();
        host::Bundle::main().setResourcePath("");
        OverlayFixture::TearDown();
    }

    // A house advert in the slot, as the rotation view makes it; owned by
    // the slot.
    QBHouse* addHouse(bool live = true) {
        house_ = host::createOwned<QBHouse>([](QBHouse* h) { return h->initWithFrame(CGRectMake(0, 0, 320, 50)); });
        slot_->addSubview(house_);
        house_->release();
        if (live) house_->go();
        return house_;
    }

    template <class T> T* subviewOf() const {
        for (const auto& v : house_->subviews())
            if (auto* t = dynamic_cast<T*>(v.get())) return t;
        return nullptr;
    }
    std::string textShown() const {
        host::TextView* t = subviewOf<host::TextView>();
        return t ? t->text() : "<no text view>";
    }
    std::vector<std::string> opened() const {
        std::ifstream in(opened_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // A point of the slot in interface points.
    CGPoint inSlot(float x, float y) const { return slot_->convertPointTo(CGPointMake(x, y), nullptr); }

    ScratchDirectory dir_;
    std::string opened_;
    host::View* slot_ = nullptr;  // owned by the surface
    QBHouse* house_ = nullptr;    // owned by the slot
};

TEST_F(HouseAdvertTest, ShowsTheNextEntryEvery20SecondsFromARandomFirstOne) {
    QBHouse* house = addHouse();
    EXPECT_TRUE(house->shouldRef());
    EXPECT_TRUE(house->isGoingN());
    const int r = house->cachedval();
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 3);
    EXPECT_EQ(house->link(), kEntries[r].link);
    EXPECT_EQ(textShown(), kEntries[r].text);

    // The image at its natural size, left, rounded; the text beside it.
    host::ImageView* image = subviewOf<host::ImageView>();
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->image(), nullptr);
    EXPECT_TRUE(rectNear(image->bounds(), CGRectMake(0, 0, 40, 30)));
    EXPECT_NEAR(image->center().x, 320 / 11.0f, 1e-3);
    EXPECT_NEAR(image->center().y, 25, 1e-3);
    EXPECT_EQ(image->cornerRadius(), QBHouse::kImageCornerRadius);
    EXPECT_TRUE(image->clipsToBounds());
    host::TextView* text = subviewOf<host::TextView>();
    ASSERT_NE(text, nullptr);
    EXPECT_NEAR(text->bounds().size.width, 320 / 1.1f, 1e-3);
    EXPECT_NEAR(text->center().x, 320 / 1.7f, 1e-3);
    EXPECT_FALSE(text->isUserInteractionEnabled());
    ASSERT_NE(text->font(), nullptr);
    EXPECT_EQ(text->font()->size(), QBHouse::kTextFontSize);
    // Both fade in.
    EXPECT_LT(image->presentation().alpha, 0.5f);
    runFor(QBHouse::kTextFadeDuration);
    EXPECT_NEAR(image->presentation().alpha, 1, 1e-3);
    EXPECT_NEAR(text->presentation().alpha, 1, 1e-3);

    runFor(QBHouse::kRotationPeriod - QBHouse::kTextFadeDuration - 0.1);
    EXPECT_EQ(house->cachedval(), r);
    for (int step = 1; step <= 4; ++step) {
        runFor(step == 1 ? 0.2 : QBHouse::kRotationPeriod);
        const int expected = (r + step) % 3;
        EXPECT_EQ(house->cachedval(), expected) << "step " << step;
        EXPECT_EQ(house->link(), kEntries[expected].link);
        EXPECT_EQ(textShown(), kEntries[expected].text);
        // The previous entry's views are gone.
        EXPECT_EQ(house->subviews().size(), 2u);
    }
}

TEST_F(HouseAdvertTest, RestartingTheRotationKeepsOneTimer) {
    QBHouse* house = addHouse();
    const int r = house->cachedval();
    runFor(5);
    house->adjustTableViewInsetsForBanner();
    EXPECT_EQ(house->cachedval(), (r + 1) % 3);
    EXPECT_TRUE(house->shouldRef());
    // Only the restarted rotation is left: the next step comes 20 s after
    // the restart, not 20 s after go().
    runFor(QBHouse::kRotationPeriod - 0.1);
    EXPECT_EQ(house->cachedval(), (r + 1) % 3);
    runFor(0.2);
    EXPECT_EQ(house->cachedval(), (r + 2) % 3);
    runFor(QBHouse::kRotationPeriod);
    EXPECT_EQ(house->cachedval(), r);
}

TEST_F(HouseAdvertTest, ATapOpensTheLinkOnlyWhenItEndsInsideTheView) {
    QBHouse* house = addHouse();
    const std::string link = house->link();
    const CGPoint inside = inSlot(300, 25);
    press(inside.x, inside.y);
    // A dark overlay over the house advert while the finger is down.
    host::View* overlay = house->grad();
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->superview(), slot_);
    EXPECT_TRUE(rectNear(overlay->frame(), house->frame()));
    EXPECT_NEAR(overlay->alpha(), QBHouse::kOverlayAlpha, 1e-6);
    const CGPoint below = inSlot(300, 120);
    release(below.x, below.y);
    EXPECT_EQ(house->grad(), nullptr);
    EXPECT_EQ(slot_->subviews().size(), 1u);
    EXPECT_TRUE(opened().empty());

    press(inside.x, inside.y);
    release(inside.x, inside.y);
    EXPECT_EQ(opened(), (std::vector<std::string>{link}));
    EXPECT_EQ(house->grad(), nullptr);
    EXPECT_EQ(slot_->subviews().size(), 1u);
}

TEST_F(HouseAdvertTest, DrawsTheGreyBlueGradientTopToBottom) {
    QBHouse* house = addHouse();
    std::vector<uint8_t> pixels;
    host::DrawingContext ctx(&pixels, 320, 50, 1);
    house->drawRect(ctx, house->bounds());
    ASSERT_TRUE(ctx.hasDrawn());
    const uint8_t* top = ctx.pixels() + 160 * 4;
    const uint8_t* bottom = ctx.pixels() + (49 * 320 + 160) * 4;
    EXPECT_NEAR(top[0], 183, 3);
    EXPECT_NEAR(top[1], 192, 3);
    EXPECT_NEAR(top[2], 202, 3);
    EXPECT_EQ(top[3], 255);
    // Premultiplied, nearly opaque at the bottom.
    EXPECT_NEAR(bottom[3], 0.97 * 255, 3);
    EXPECT_NEAR(bottom[0], 115 * 0.97, 4);
    EXPECT_NEAR(bottom[2], 162 * 0.97, 4);
    EXPECT_LT(bottom[0], top[0]);
}

TEST_F(HouseAdvertTest, AViewThatIsNotLiveShowsDrawsAndOpensNothing) {
    QBHouse* house = addHouse(false);
    house->startAds();
    EXPECT_TRUE(house->subviews().empty());
    EXPECT_FALSE(house->isGoingN());
    std::vector<uint8_t> pixels;
    host::DrawingContext ctx(&pixels, 320, 50, 1);
    house->drawRect(ctx, house->bounds());
    EXPECT_FALSE(ctx.hasDrawn());
    const CGPoint inside = inSlot(300, 25);
    press(inside.x, inside.y);
    EXPECT_EQ(house->grad(), nullptr);
    release(inside.x, inside.y);
    EXPECT_TRUE(opened().empty());
    runFor(QBHouse::kRotationPeriod * 2);
    EXPECT_TRUE(house->subviews().empty());
}

TEST_F(HouseAdvertTest, AMissingOrWrongListShowsNothingAndEndsTheRotation) {
    const std::vector<std::pair<std::string, std::string>> lists = {
        {"missing", ""},
        {"garbled", "<plist><array><dict><key>image"},
        {"a dictionary", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict/></plist>"},
        {"empty", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>"},
    };
    for (const auto& [what, body] : lists) {
        SCOPED_TRACE(what);
        std::remove(dir_.file("houseAds.plist").c_str());
        if (!body.empty()) dir_.write("houseAds.plist", body);
        LogCapture log;
        QBHouse* house = addHouse();
        EXPECT_TRUE(house->subviews().empty());
        EXPECT_EQ(house->link(), "");
        EXPECT_EQ(log.lines().size(), 1u) << log.joined();
        runFor(QBHouse::kRotationPeriod + 1);
        EXPECT_TRUE(house->subviews().empty());
        const CGPoint inside = inSlot(300, 25);
        click(inside.x, inside.y);
        EXPECT_TRUE(opened().empty());
        house_->removeFromSuperview();
        house_ = nullptr;
    }
}

TEST_F(HouseAdvertTest, AnEntryWithoutImageTextOrLinkShowsEmptyViewsAndOpensNothing) {
    dir_.write("houseAds.plist",
               "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
               "<dict><key>image</key><string>nowhere.png</string></dict></array></plist>");
    QBHouse* house = addHouse();
    host::ImageView* image = subviewOf<host::ImageView>();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->image(), nullptr);
    EXPECT_EQ(textShown(), "");
    const CGPoint inside = inSlot(300, 25);
    click(inside.x, inside.y);
    EXPECT_TRUE(opened().empty());
    // One entry: the rotation keeps showing it.
    runFor(QBHouse::kRotationPeriod);
    EXPECT_EQ(house->cachedval(), 0);
}

TEST(HouseAdvertList, EveryShippedEntryHasItsImageTextAndAWebLink) {
    host::AutoreleasePool pool;
    const host::PlistValue list = host::PlistValue::fromFile(shippedResourcesDir() + "/houseAds.plist");
    ASSERT_TRUE(list.isArray());
    EXPECT_GE(list.size(), 2u);
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        const host::PlistValue& entry = list[i];
        host::Image* image =
            host::Image::imageWithContentsOfFile(shippedResourcesDir() + "/" + entry["image"].asString());
        ASSERT_NE(image, nullptr);
        EXPECT_LE(image->height(), 50u);  // fits the phone's banner
        EXPECT_FALSE(entry["text"].asString().empty());
        EXPECT_EQ(entry["link"].asString().rfind("https://", 0), 0u);
    }
}

}  // namespace
