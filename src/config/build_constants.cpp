#include "config/build_constants.h"

#include "tessary_build_constants.h"

namespace tessary {

const BuildConstants& CompiledBuildConstants() {
    static const BuildConstants constants{
        TESSARY_WIZARD_KEY,
        TESSARY_BT_VARIANT != 0,
        TESSARY_BT_CLASSIC_OPTIONS != 0,
        TESSARY_MAIN_FAILURE_CODE3 != 0,
        TESSARY_SERVICE_HOST,
        TESSARY_COMPANY_HOST,
        TESSARY_BRAND,
        TESSARY_CLIENT_ID,
        TESSARY_SOURCE_ID,
        TESSARY_BACKGROUND_COLOR,
        TESSARY_ACCENT_COLOR,
        TESSARY_ISV_PRODUCT_TITLE,
        TESSARY_ISV_PRODUCT_URL,
        TESSARY_ISV_PRODUCT_FALLBACK_URL,
        TESSARY_ISV_PRODUCT_PRIVACY_URL,
        TESSARY_ISV_PRODUCT_TERMS_URL,
        TESSARY_ISV_PRODUCT_ARGUMENTS,
        TESSARY_ISV_LAUNCH_TARGET,
        TESSARY_ISV_LAUNCH_PARAMETERS,
    };
    return constants;
}

}  // namespace tessary
