// SPDX-License-Identifier: MIT
// edid_json_schema SCHEMA - prints the JSON Schema of the JSON form
// (docs/edid.schema.json) with its data block definitions made again from
// the keys that json_cta_records.h lists for each kind: "data_block", which
// tells the kinds apart, and one "kind_NAME" for each.  The rest of the
// schema (the base block, descriptors, timings, the CTA block) is read from
// SCHEMA as it stands.  Not installed: the tests check that the file in
// the repository is what this prints.
//
// The keys are visited by FieldSchema, a third visitor beside FieldOut and
// FieldIn: each key's JSON type, the range of its field's type (JSON_FIELD
// tells it), and the names where the field has names.
#include <stdio.h>

#include <string>
#include <vector>

#include <edid/cta.h>

#include "json_cta_records.h"
#include "json_fields.h"

namespace {

Json ref(const char *def)
{
    return Json{{"$ref", std::string("#/$defs/") + def}};
}

Json integer(int64_t min, uint64_t max)
{
    Json j{{"type", "integer"}, {"minimum", min}};
    j["maximum"] = max;
    return j;
}

Json hex_of_at_most(uint32_t bytes)
{
    return Json{{"type", "string"},
                {"pattern", "^([0-9a-fA-F]{2}){0," + std::to_string(bytes) + "}$"}};
}

Json list_of(Json items, uint32_t max_items)
{
    return Json{{"type", "array"}, {"maxItems", max_items}, {"items", std::move(items)}};
}

Json object_of(Json properties)
{
    return Json{
        {"type", "object"}, {"additionalProperties", false}, {"properties", std::move(properties)}};
}

// Writes the schema of each key into a "properties" object.
class FieldSchema {
  public:
    static constexpr bool reading = false, schema = true;
    explicit FieldSchema(Json &properties) : properties_(properties) {}
    void limit(int64_t min, uint64_t max) { min_ = min, max_ = max; }
    void number(const char *key, uint32_t) { put(key, integer(0, take_max())); }
    void opt_number(const char *key, uint32_t value) { number(key, value); }
    void flag(const char *key, uint32_t) { put(key, Json{{"type", "boolean"}}); }
    void opt_flag(const char *key, uint32_t value) { flag(key, value); }
    void signed_number(const char *key, uint32_t)
    {
        const int64_t min = min_;
        put(key, integer(min, take_max()));
    }
    void offset_number(const char *key, uint32_t, int offset)
    {
        put(key, integer(offset, take_max() + uint64_t(offset)));
    }
    void scaled(const char *key, uint32_t, double unit, int decimals)
    {
        Json j{{"type", decimals ? "number" : "integer"}, {"minimum", 0}};
        j["maximum"] = double(take_max()) * unit;
        put(key, j);
    }
    void name(const char *key, uint32_t, json_fields::Names names)
    {
        std::vector<const char *> list;
        for (uint32_t i = 0; i < names.count; ++i)
            if (names.names[i]) list.push_back(names.names[i]);
        names_or_number(key, list, 0, take_max());
    }
    void named(const char *key, uint32_t, uint32_t count, const char *(*name_of)(uint32_t))
    {
        std::vector<const char *> list;
        for (uint32_t i = 0; i < count; ++i) list.push_back(name_of(i));
        names_or_number(key, list, count, take_max());
    }
    // A name among names, or a number from min to max.
    void names_or_number(const char *key, const std::vector<const char *> &names, int64_t min,
                         uint64_t max)
    {
        put(key, Json{{"anyOf", Json::array({Json{{"enum", names}}, integer(min, max)})}});
    }
    void names(const char *key, uint32_t, json_fields::Names names)
    {
        std::vector<const char *> list(names.names, names.names + names.count);
        put(key, names_list(list));
    }
    void names_of_bits(const char *key, uint32_t, uint32_t count, const char *(*name_of)(uint32_t))
    {
        std::vector<const char *> list;
        for (uint32_t i = 0; i < count; ++i) list.push_back(name_of(i));
        put(key, names_list(list));
    }
    void numbers(const char *key, uint32_t, const double *numbers, uint32_t count)
    {
        Json values = Json::array();
        for (uint32_t i = 0; i < count; ++i) values.push_back(numbers[i]);
        Json j = list_of(Json{{"enum", values}}, count);
        j["uniqueItems"] = true;
        put(key, j);
    }
    void hex(const char *key, const uint8_t *, uint32_t, uint32_t capacity)
    {
        put(key, hex_of_at_most(capacity));
    }
    void opt_hex(const char *key, const uint8_t *b, uint32_t size, uint32_t capacity)
    {
        hex(key, b, size, capacity);
    }
    void counted_hex(const char *key, uint32_t size, const uint8_t *b, uint32_t capacity)
    {
        hex(key, b, size, capacity);
    }
    void text(const char *key, const char *, size_t capacity)
    {
        put(key, Json{{"type", "string"}, {"maxLength", capacity - 1}});
    }
    void oui(const char *key, uint32_t) { put(key, ref("oui")); }
    void address(const char *key, uint32_t)
    {
        put(key, Json{{"type", "string"}, {"pattern", "^[0-9a-fA-F](\\.[0-9a-fA-F]){3}$"}});
    }
    template <class F>
    void part(const char *, uint32_t, F &&f)
    {
        f();
    }
    template <class F>
    void object(const char *key, F &&f)
    {
        Json properties = Json::object();
        FieldSchema in(properties);
        f(in);
        put(key, object_of(std::move(properties)));
    }
    template <class F>
    void list(const char *key, uint32_t, uint32_t capacity, F &&f)
    {
        Json properties = Json::object();
        FieldSchema in(properties);
        f(in, 0);
        put(key, list_of(object_of(std::move(properties)), capacity));
    }
    template <class T>
    void array(const char *key, uint32_t, uint32_t capacity, const T *)
    {
        put(key, list_of(integer(0, std::numeric_limits<T>::max()), capacity));
    }

  private:
    Json &properties_;
    int64_t min_ = 0;
    uint64_t max_ = UINT32_MAX;

    // The range JSON_FIELD gave, once.
    uint64_t take_max()
    {
        const uint64_t max = max_;
        min_ = 0, max_ = UINT32_MAX;
        return max;
    }
    static Json names_list(const std::vector<const char *> &names)
    {
        Json j = list_of(Json{{"enum", names}}, uint32_t(names.size()));
        j["uniqueItems"] = true;
        return j;
    }
    // Each key takes the range given before it, if any, and no later key.
    void put(const char *key, Json schema)
    {
        properties_[key] = std::move(schema);
        min_ = 0, max_ = UINT32_MAX;
    }
};

// The definition of one kind's data blocks.
Json kind_definition(uint32_t kind)
{
    Json properties = Json::object();
    properties["kind"] = Json{{"const", cea_kind_name(kind)}};
    // The OUI that names a vendor-specific block whose record has none.
    if (kind == CEA_KIND_HDMI || kind == CEA_KIND_HDMI_FORUM || kind == CEA_KIND_AMD)
        properties["oui"] = ref("oui");
    FieldSchema fields(properties);
    const bool typed = json_cta_records::with_kind(kind, [&](auto &record, auto, auto, auto visit) {
        visit(fields, record);
        return true;
    });
    properties["bytes"] = ref("data_block_bytes");
    Json j = object_of(std::move(properties));
    if (!typed) j["required"] = Json::array({"bytes"});
    return j;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "Usage: %s docs/edid.schema.json\n", argv[0]);
        return 1;
    }
    FILE *file = fopen(argv[1], "r");
    if (!file) {
        perror(argv[1]);
        return 2;
    }
    std::string text, error;
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
    fclose(file);
    Json schema;
    if (!json_form_parse(text.data(), text.size(), &schema, &error) || !schema.contains("$defs")) {
        fprintf(stderr, "%s: %s\n", argv[1], error.empty() ? "no $defs" : error.c_str());
        return 2;
    }
    Json &defs = schema["$defs"];
    Json kinds = Json::array(), cases = Json::array();
    for (uint32_t kind = 0; kind < CEA_KINDS; ++kind) {
        const std::string name = cea_kind_name(kind), def = "kind_" + name;
        defs[def] = kind_definition(kind);
        kinds.push_back(name);
        cases.push_back(Json{{"if", Json{{"properties", Json{{"kind", Json{{"const", name}}}}}}},
                             {"then", ref(def.c_str())}});
    }
    defs["data_block"] = Json{{"type", "object"},
                              {"required", Json::array({"kind"})},
                              {"properties", Json{{"kind", Json{{"enum", kinds}}}}},
                              {"allOf", cases}};
    const std::string out = json_form_text(schema);
    fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
