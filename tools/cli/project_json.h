#pragma once
// The project as JSON: field names as in the model, texts decoded from
// windows-1252 so every byte survives a dump and a build.
#include <nlohmann/json.hpp>
#include <string>

#include "model/project.h"

namespace korvex::cli {

nlohmann::ordered_json projectToJson(const Project& project);
// Fills project from JSON; returns an empty string on success, else what is wrong.
std::string projectFromJson(const nlohmann::json& json, Project& project);

}  // namespace korvex::cli
