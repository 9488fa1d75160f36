#pragma once
// The shell script that submits a farm run to Slurm: a job array of the
// segments, a task for the soundtrack, and the join once both succeeded.

#include <string>

#include "FarmPlan.h"

namespace vesta::farm {

// `farm` is this program's path as the nodes reach it (a shared folder).
std::string SlurmScript(const RecordOptions& options, const Plan& plan, const std::string& farm);

// The arguments of `vesta-farm join` that joins the plan's segments.
std::vector<std::string> JoinCommand(const RecordOptions& options, const Plan& plan);

}  // namespace vesta::farm
