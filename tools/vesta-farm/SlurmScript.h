#pragma once
// The shell script that submits a farm run to Slurm: a job array of the
// segments, a task for the soundtrack, and the join once both succeeded.

#include <string>

#include "FarmPlan.h"
#include "Processes.h"

namespace vesta::farm {

// `farm` is this program's path as the nodes reach it (a shared folder).
std::string SlurmScript(const RecordOptions& options, const Plan& plan, const std::string& farm);

// A job array of `tasks` (each writing its exit status to its `status` file,
// its output to its log) and a summary task once all have ended, however.
std::string CollectionScript(const std::vector<Task>& tasks, const std::vector<std::string>& status,
                             const std::string& folder, const std::string& farm,
                             const std::vector<std::string>& summary);

// The arguments of `vesta-farm join` that joins the plan's segments.
std::vector<std::string> JoinCommand(const RecordOptions& options, const Plan& plan);

}  // namespace vesta::farm
