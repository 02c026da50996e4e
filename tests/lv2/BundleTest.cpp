// grindvox.lv2 as a host reads it through lilv: the plug-ins' descriptions, every control port
// against the effect's own parameter, the audio ports and the designed presets.
#include "effect/Grindvox.h"
#include "effect/GrindvoxPresets.h"
#include "tests/lv2/LilvHost.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace grindvox::test {
namespace {

constexpr const char* kLV2 = "http://lv2plug.in/ns/lv2core#";
constexpr const char* kDoap = "http://usefulinc.com/ns/doap#";
constexpr const char* kPset = "http://lv2plug.in/ns/ext/presets#";

// Owns a node for the length of a statement.
struct Node {
    explicit Node(const std::string& uri) : mNode(lilv_new_uri(SharedWorld(), uri.c_str())) {}
    ~Node() { lilv_node_free(mNode); }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    operator LilvNode*() const { return mNode; }
    LilvNode* mNode;
};

bool hasObject(const LilvNode* subject, const std::string& predicate, const std::string& object) {
    return lilv_world_ask(SharedWorld(), subject, Node(predicate), Node(object));
}

// The one value of subject's predicate as text ("" when there is none).
std::string valueOf(const LilvNode* subject, const std::string& predicate) {
    LilvNode* value = lilv_world_get(SharedWorld(), subject, Node(predicate), nullptr);
    std::string text = value ? lilv_node_as_string(value) : "";
    lilv_node_free(value);
    return text;
}

// Plug-in statements through the plug-in, which loads its data first.
bool pluginHas(const LilvPlugin* plugin, const std::string& predicate, const std::string& object) {
    LilvNodes* values = lilv_plugin_get_value(plugin, Node(predicate));
    const bool has = values && lilv_nodes_contains(values, Node(object));
    lilv_nodes_free(values);
    return has;
}

std::string pluginValue(const LilvPlugin* plugin, const std::string& predicate) {
    LilvNodes* values = lilv_plugin_get_value(plugin, Node(predicate));
    std::string text = values ? lilv_node_as_string(lilv_nodes_get_first(values)) : "";
    lilv_nodes_free(values);
    return text;
}

bool portHas(const LilvPlugin* plugin, const LilvPort* port, const std::string& property) {
    return lilv_port_has_property(plugin, port, Node(kLV2 + property));
}

class LV2Bundle : public ::testing::TestWithParam<const char*> {
protected:
    const LilvPlugin* Plugin() const { return FindPlugin(GetParam()); }
    Grindvox mPlug{IPlugInstanceInfo{}};
};

TEST_P(LV2Bundle, IsAnMITLicensedDistortionPluginNeedingNoFeature) {
    const LilvPlugin* plugin = Plugin();
    ASSERT_NE(plugin, nullptr) << "not found through LV2_PATH=" << GRINDVOX_LV2_PATH;
    EXPECT_TRUE(pluginHas(plugin, "http://www.w3.org/1999/02/22-rdf-syntax-ns#type",
                          std::string(kLV2) + "DistortionPlugin"));
    EXPECT_TRUE(
        pluginHas(plugin, std::string(kDoap) + "license", "http://opensource.org/licenses/MIT"));
    EXPECT_EQ(pluginValue(plugin, std::string(kLV2) + "minorVersion"),
              std::to_string(PROJECT_MINOR));
    EXPECT_EQ(pluginValue(plugin, std::string(kLV2) + "microVersion"),
              std::to_string(PROJECT_PATCH));
    EXPECT_TRUE(pluginHas(plugin, std::string(kLV2) + "optionalFeature",
                          std::string(kLV2) + "hardRTCapable"));

    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    EXPECT_EQ(lilv_nodes_size(required), 0u);
    lilv_nodes_free(required);
    LilvNode* author = lilv_plugin_get_author_name(plugin);
    ASSERT_NE(author, nullptr);
    EXPECT_STREQ(lilv_node_as_string(author), "Tolva Sonics");
    lilv_node_free(author);
}

TEST_P(LV2Bundle, OffersTheEditorAsAnX11UiRunByTheHostsIdleCalls) {
    const LilvPlugin* plugin = Plugin();
    ASSERT_NE(plugin, nullptr);
    LilvUIs* uis = lilv_plugin_get_uis(plugin);
    ASSERT_EQ(lilv_uis_size(uis), 1u);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    EXPECT_STREQ(lilv_node_as_uri(lilv_ui_get_uri(ui)),
                 "http://tolvasonics.com/plugins/grindvox#ui");
    EXPECT_TRUE(lilv_ui_is_a(ui, Node("http://lv2plug.in/ns/extensions/ui#X11UI")));
    char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    EXPECT_EQ(std::string(binary), std::string(GRINDVOX_LV2_PATH) + "/grindvox.lv2/grindvox_ui.so");
    lilv_free(binary);
    const LilvNode* uri = lilv_ui_get_uri(ui);
    const std::string kUI = "http://lv2plug.in/ns/extensions/ui#";
    EXPECT_TRUE(hasObject(uri, std::string(kLV2) + "optionalFeature", kUI + "idleInterface"));
    EXPECT_TRUE(hasObject(uri, std::string(kLV2) + "extensionData", kUI + "idleInterface"));
    EXPECT_TRUE(hasObject(uri, std::string(kLV2) + "requiredFeature", kUI + "parent"));
    // The host's resize is used when offered, never asked for.
    EXPECT_FALSE(hasObject(uri, std::string(kLV2) + "optionalFeature", kUI + "resize"));
    EXPECT_FALSE(hasObject(uri, std::string(kLV2) + "requiredFeature", kUI + "resize"));
    lilv_uis_free(uis);
}

TEST_P(LV2Bundle, EveryControlPortCarriesItsParameter) {
    const LilvPlugin* plugin = Plugin();
    ASSERT_NE(plugin, nullptr);
    const char* const symbols[kNumControls] = {"filter", "cutoff",   "resonance", "bits",
                                               "ratio",  "mix_mode", "parallel"};
    ASSERT_EQ(mPlug.NParams(), kNumControls);
    for (int i = 0; i < kNumControls; ++i) {
        SCOPED_TRACE(symbols[i]);
        const IParam* param = mPlug.GetParam(i);
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(i));
        ASSERT_NE(port, nullptr);
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, port)), symbols[i]);
        LilvNode* name = lilv_port_get_name(plugin, port);
        EXPECT_STREQ(lilv_node_as_string(name), param->GetNameForHost());
        lilv_node_free(name);
        EXPECT_TRUE(lilv_port_is_a(plugin, port, Node(std::string(kLV2) + "ControlPort")));
        EXPECT_TRUE(lilv_port_is_a(plugin, port, Node(std::string(kLV2) + "InputPort")));

        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(plugin, port, &def, &min, &max);
        ASSERT_TRUE(def && min && max);
        double lo, hi;
        param->GetBounds(lo, hi);
        EXPECT_EQ(lilv_node_as_float(def), static_cast<float>(param->Default()));
        EXPECT_EQ(lilv_node_as_float(min), static_cast<float>(lo));
        EXPECT_EQ(lilv_node_as_float(max), static_cast<float>(hi));
        lilv_node_free(def);
        lilv_node_free(min);
        lilv_node_free(max);

        const bool whole = param->Type() != IParam::kTypeDouble;
        EXPECT_EQ(portHas(plugin, port, "integer"), whole);
        EXPECT_EQ(portHas(plugin, port, "toggled"), param->Type() == IParam::kTypeBool);
        // A switch shows its texts without being a list to choose from.
        EXPECT_EQ(portHas(plugin, port, "enumeration"),
                  param->GetNDisplayTexts() > 0 && param->Type() != IParam::kTypeBool);

        // The scale points are the display texts, value for value.
        std::map<int, std::string> points;
        LilvScalePoints* scalePoints = lilv_port_get_scale_points(plugin, port);
        LILV_FOREACH(scale_points, it, scalePoints) {
            const LilvScalePoint* point = lilv_scale_points_get(scalePoints, it);
            points[static_cast<int>(lilv_node_as_float(lilv_scale_point_get_value(point)))] =
                lilv_node_as_string(lilv_scale_point_get_label(point));
        }
        lilv_scale_points_free(scalePoints);
        ASSERT_EQ(static_cast<int>(points.size()), param->GetNDisplayTexts());
        for (int t = 0; t < param->GetNDisplayTexts(); ++t) {
            const IParam::DisplayText* text = param->GetDisplayTextAtIdx(t);
            EXPECT_EQ(points[text->mValue], text->mText);
        }
    }

    const LilvPort* cutoff = lilv_plugin_get_port_by_index(plugin, Grindvox::kCutoff);
    EXPECT_TRUE(lilv_port_has_property(plugin, cutoff,
                                       Node("http://lv2plug.in/ns/ext/port-props#logarithmic")));
    LilvNodes* units =
        lilv_port_get_value(plugin, cutoff, Node("http://lv2plug.in/ns/extensions/units#unit"));
    ASSERT_EQ(lilv_nodes_size(units), 1u);
    EXPECT_STREQ(lilv_node_as_uri(lilv_nodes_get_first(units)),
                 "http://lv2plug.in/ns/extensions/units#hz");
    lilv_nodes_free(units);
}

TEST_P(LV2Bundle, AudioPortsFollowTheControlsInsThenOuts) {
    const LilvPlugin* plugin = Plugin();
    ASSERT_NE(plugin, nullptr);
    const int channels = std::string(GetParam()) == kMonoURI ? 1 : 2;
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin),
              static_cast<uint32_t>(kNumControls + 2 * channels));
    for (int i = 0; i < 2 * channels; ++i) {
        const LilvPort* port =
            lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(kNumControls + i));
        EXPECT_TRUE(lilv_port_is_a(plugin, port, Node(std::string(kLV2) + "AudioPort")));
        const char* direction = i < channels ? "InputPort" : "OutputPort";
        EXPECT_TRUE(lilv_port_is_a(plugin, port, Node(std::string(kLV2) + direction))) << i;
    }
}

TEST_P(LV2Bundle, OffersTheDesignedPresetsWithTheirValues) {
    const LilvPlugin* plugin = Plugin();
    ASSERT_NE(plugin, nullptr);
    LilvNodes* presets = lilv_plugin_get_related(plugin, Node(std::string(kPset) + "Preset"));
    ASSERT_EQ(static_cast<int>(lilv_nodes_size(presets)), NumGrindvoxPresets());
    lilv_nodes_free(presets);

    for (int p = 0; p < NumGrindvoxPresets(); ++p) {
        const GrindvoxPreset& preset = *GetGrindvoxPreset(p);
        SCOPED_TRACE(preset.mName);
        const Node uri(std::string(kGrindvoxPresetURIBase) + preset.mLabel);
        EXPECT_TRUE(hasObject(uri, std::string(kLV2) + "appliesTo", GetParam()));
        EXPECT_EQ(valueOf(uri, "http://www.w3.org/2000/01/rdf-schema#label"), preset.mName);

        std::map<std::string, double> values;
        LilvNodes* ports =
            lilv_world_find_nodes(SharedWorld(), uri, Node(std::string(kLV2) + "port"), nullptr);
        LILV_FOREACH(nodes, it, ports) {
            const LilvNode* port = lilv_nodes_get(ports, it);
            LilvNode* symbol =
                lilv_world_get(SharedWorld(), port, Node(std::string(kLV2) + "symbol"), nullptr);
            LilvNode* value =
                lilv_world_get(SharedWorld(), port, Node(std::string(kPset) + "value"), nullptr);
            if (symbol && value)
                values[lilv_node_as_string(symbol)] = std::stod(lilv_node_as_string(value));
            lilv_node_free(symbol);
            lilv_node_free(value);
        }
        lilv_nodes_free(ports);
        ASSERT_EQ(static_cast<int>(values.size()), kNumControls);
        for (int i = 0; i < kNumControls; ++i) {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(i));
            const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
            EXPECT_EQ(values[symbol], preset.mValues[i]) << symbol;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(StereoAndMono, LV2Bundle, ::testing::Values(kStereoURI, kMonoURI),
                         [](const auto& param) {
                             return std::string(param.param) == kMonoURI ? "Mono" : "Stereo";
                         });

} // namespace
} // namespace grindvox::test
