// The presentation host keeps the presentation surface's contract (the office double runs
// the same suite).
#include "host_fixture.h"
#include "support/generated_decks.h"
#include "support/powerpoint_contract.h"

using namespace morvane;

namespace {

struct HostFactory {
  std::shared_ptr<ppt::Application> open(const QString& fileName, int slides, const QSizeF& size) {
    static int run = 0;
    const QString path =
        hosttest::freshPath(QStringLiteral("presentation_contract/%1").arg(++run), fileName);
    // A missing file is the built-in 720 x 540 deck; other sizes are generated.
    if (size != QSizeF(720, 540)) {
      EXPECT_TRUE(pptxfixture::writeBlankDeck(path, size));
    }
    auto host = hosttest::openHost(path);
    auto pres = host->activePresentation();
    for (int i = 0; i < slides; ++i) pres->slidesAdd(i + 1, ppt::ppLayoutBlank);
    return host;
  }
};

}  // namespace

namespace morvane::powerpoint_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Host, PowerPointContract, ::testing::Types<HostFactory>);
}
