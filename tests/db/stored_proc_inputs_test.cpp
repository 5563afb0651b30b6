// Stored procedure calls send every input to the procedure's parameter of its name, refuse a
// value the parameter cannot hold, and never run a procedure under another one's name.
#include "db/client/ib_error.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_stored_proc.h"
#include "tests/support/client_call_counter.h"
#include "tests/support/engine_test.h"
#include "tests/support/error_text.h"
#include "tests/support/raw_sql.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

using test::ErrorText;

class StoredProcInputs : public test::EngineTest
{
protected:
    // A call on the panel's connection whose parameters are listed in the given order.
    TIBStoredProc &Call(const char *name, const char *procedure,
                        std::initializer_list<std::pair<const char *, TParamType>> params)
    {
        auto &call = CreateOwned<TIBStoredProc>(owner);
        call.SetName(name);
        call.SetStoredProcName(procedure);
        call.SetDatabase(&database);
        call.SetTransaction(&transaction);
        AddParams(call, params);
        return call;
    }
    static void AddParams(TIBStoredProc &call,
                          std::initializer_list<std::pair<const char *, TParamType>> params)
    {
        for (const auto &[name, type] : params)
            call.Params().AddParam(TFieldType::ftInteger, name, type);
    }
    // In a fresh snapshot: the procedures commit on their own.
    long Query(const std::string &sql)
    {
        transaction.Commit();
        transaction.StartTransaction();
        return test::QueryInteger(database, transaction, sql);
    }
    long Priority(int id)
    {
        return Query("SELECT PROC_PRIORITY FROM VELKOR_PROCESS WHERE PROC_ID = " +
                     std::to_string(id));
    }
    bool Stopped(int id)
    {
        return Query("SELECT COUNT(*) FROM VELKOR_PROCESS WHERE STOPPED_AT IS NOT NULL AND "
                     "PROC_ID = " +
                     std::to_string(id)) == 1;
    }
    void Define(const std::string &ddl)
    {
        test::ExecuteRaw(database, transaction, ddl);
        transaction.Commit();
        transaction.StartTransaction();
    }

    static constexpr TParamType in = TParamType::ptInput;
    static constexpr TParamType out = TParamType::ptOutput;
    test::TAttachedDatabase attached{test::TTestDatabase::TContent::withSamples, Engine()};
    TComponent &owner = attached.owner;
    TIBDatabase &database = attached.database;
    TIBTransaction &transaction = attached.transaction;
};

TEST_P(StoredProcInputs, inputs_go_to_the_parameters_of_their_names_in_any_list_order)
{
    TIBStoredProc &set = Call("SetPriorityProcedure", "SET_PROC_PRIORITY",
                              {{"RESULT", out}, {"PRIORITY", in}, {"PROC_ID", in}});
    set.ParamNamed("PROC_ID").SetIntegerValue(3);
    set.ParamNamed("PRIORITY").SetIntegerValue(1);
    set.ExecProc();
    EXPECT_EQ(set.ParamNamed("RESULT").IntegerValue(), 1);
    EXPECT_EQ(Priority(3), 1);
    EXPECT_EQ(Priority(1), 10) << "process 1 untouched";

    // Names compare without regard to case, as the list looks them up.
    TIBStoredProc &lower =
        Call("Lower", "SET_PROC_PRIORITY", {{"result", out}, {"priority", in}, {"proc_id", in}});
    lower.ParamNamed("PROC_ID").SetIntegerValue(4);
    lower.ParamNamed("PRIORITY").SetIntegerValue(2);
    lower.ExecProc();
    EXPECT_EQ(Priority(4), 2);
    EXPECT_EQ(Priority(2), 8) << "process 2 untouched";
}

TEST_P(StoredProcInputs, a_list_without_usable_names_goes_by_position)
{
    TIBStoredProc &set =
        Call("Positional", "SET_PROC_PRIORITY", {{"RESULT", out}, {"FIRST", in}, {"SECOND", in}});
    set.ParamNamed("FIRST").SetIntegerValue(7);
    set.ParamNamed("SECOND").SetIntegerValue(42);
    set.ExecProc();
    EXPECT_EQ(Priority(7), 42);

    TIBStoredProc &partly =
        Call("Partly", "SET_PROC_PRIORITY", {{"RESULT", out}, {"PROC_ID", in}, {"VALUE", in}});
    partly.ParamNamed("PROC_ID").SetIntegerValue(8);
    partly.ParamNamed("VALUE").SetIntegerValue(43);
    partly.ExecProc();
    EXPECT_EQ(Priority(8), 43) << "one name that is no marker: by position";
}

TEST_P(StoredProcInputs, a_name_listed_twice_sends_one_value_and_every_marker_needs_an_item)
{
    TIBStoredProc &stop =
        Call("StopProcedure", "STOP_PROC", {{"RESULT", out}, {"PROC_ID", in}, {"PROC_ID", in}});
    stop.ParamNamed("PROC_ID").SetIntegerValue(5);
    stop.ExecProc();
    EXPECT_EQ(stop.ParamNamed("RESULT").IntegerValue(), 1);
    EXPECT_TRUE(Stopped(5));

    TIBStoredProc &set =
        Call("SetPriorityProcedure", "SET_PROC_PRIORITY", {{"RESULT", out}, {"PROC_ID", in}});
    set.ParamNamed("PROC_ID").SetIntegerValue(9);
    EXPECT_EQ(ErrorText([&] { set.ExecProc(); }), "Required Param value not set");
    EXPECT_EQ(Priority(9), 1) << "nothing sent";
}

TEST_P(StoredProcInputs, a_value_the_parameter_cannot_hold_is_refused_by_its_name)
{
    Define("CREATE PROCEDURE SET_SMALL (PROC_ID INTEGER, PRIORITY SMALLINT) "
           "RETURNS (RESULT INTEGER) AS BEGIN "
           "UPDATE VELKOR_PROCESS SET PROC_PRIORITY = :PRIORITY WHERE PROC_ID = :PROC_ID; "
           "RESULT = ROW_COUNT; END");
    auto &small = CreateOwned<TIBStoredProc>(owner);
    small.SetName("SetSmall");
    small.SetDatabase(&database);
    small.SetTransaction(&transaction);
    small.SetStoredProcName("SET_SMALL");
    small.Prepare();
    ASSERT_EQ(small.ParamNamed("PRIORITY").DataType(), TFieldType::ftSmallint);
    small.ParamNamed("PROC_ID").SetIntegerValue(1);
    small.ParamNamed("PRIORITY").SetValue(TVariant(70000));
    EXPECT_EQ(ErrorText([&] { small.ExecProc(); }),
              "Parameter 'PRIORITY': 70000 is out of range for SmallInt");
    small.ParamNamed("PRIORITY").SetValue(TVariant(-32769));
    EXPECT_EQ(ErrorText([&] { small.ExecProc(); }),
              "Parameter 'PRIORITY': -32769 is out of range for SmallInt");
    transaction.Commit();
    transaction.StartTransaction();
    EXPECT_EQ(Priority(1), 10) << "nothing cut and sent";

    small.ParamNamed("PRIORITY").SetValue(TVariant(-32768));
    small.ExecProc();
    EXPECT_EQ(Priority(1), -32768);
    small.ParamNamed("PRIORITY").SetValue(TVariant(32767));
    small.ExecProc();
    EXPECT_EQ(Priority(1), 32767);

    // A value that does not convert to the parameter's type at all is named the same way.
    small.ParamNamed("PROC_ID").SetValue(TVariant(3e9));
    EXPECT_EQ(ErrorText([&] { small.ExecProc(); }),
              "Parameter 'PROC_ID': Could not convert variant of type (Double) into type "
              "(Integer)");
    small.ParamNamed("PROC_ID").SetValue(TVariant("two"));
    EXPECT_EQ(ErrorText([&] { small.ExecProc(); }),
              "Parameter 'PROC_ID': Could not convert variant of type (String) into type "
              "(Integer)");
}

TEST_P(StoredProcInputs, a_renamed_call_never_runs_the_old_procedure)
{
    Define("CREATE PROCEDURE KEEP_PROC (PROC_ID INTEGER) RETURNS (RESULT INTEGER) AS "
           "BEGIN RESULT = -1; END");
    TIBStoredProc &stop = Call("StopProcedure", "STOP_PROC", {{"RESULT", out}, {"PROC_ID", in}});
    stop.ParamNamed("PROC_ID").SetIntegerValue(2);
    stop.ExecProc();
    EXPECT_TRUE(Stopped(2));

    // Renamed while no connection is assigned: nothing can be built then.
    stop.SetDatabase(nullptr);
    stop.SetStoredProcName("KEEP_PROC");
    EXPECT_EQ(stop.SelectSQL().Count(), 0) << "the old call text is gone";
    stop.SetDatabase(&database);
    AddParams(stop, {{"RESULT", out}, {"PROC_ID", in}});
    stop.ParamNamed("PROC_ID").SetIntegerValue(5);
    stop.ExecProc();
    EXPECT_EQ(stop.SelectSQL().Text(), "Execute Procedure KEEP_PROC :PROC_ID\n");
    EXPECT_EQ(stop.ParamNamed("RESULT").IntegerValue(), -1);
    EXPECT_FALSE(Stopped(5));

    // Renamed with a rebuild that fails.
    TIBStoredProc &other = Call("Other", "STOP_PROC", {{"RESULT", out}, {"PROC_ID", in}});
    other.ParamNamed("PROC_ID").SetIntegerValue(3);
    other.ExecProc();
    other.SetTransaction(nullptr);
    EXPECT_EQ(ErrorText([&] { other.SetStoredProcName("KEEP_PROC"); }), "Transaction not assigned");
    EXPECT_EQ(other.SelectSQL().Count(), 0);
    other.SetTransaction(&transaction);
    AddParams(other, {{"RESULT", out}, {"PROC_ID", in}});
    other.ParamNamed("PROC_ID").SetIntegerValue(6);
    other.ExecProc();
    EXPECT_EQ(other.ParamNamed("RESULT").IntegerValue(), -1);
    EXPECT_FALSE(Stopped(6));
}

TEST_P(StoredProcInputs, a_failing_procedure_is_tried_exactly_once_more)
{
    Define("CREATE EXCEPTION PROC_BUSY 'the process is busy'");
    Define("CREATE PROCEDURE REFUSE (PROC_ID INTEGER) RETURNS (RESULT INTEGER) AS "
           "BEGIN EXCEPTION PROC_BUSY; END");
    TIBStoredProc &refuse = Call("Refuse", "REFUSE", {{"RESULT", out}, {"PROC_ID", in}});
    refuse.ParamNamed("PROC_ID").SetIntegerValue(1);
    refuse.Prepare();
    test::TClientCallCounter counter;
    EXPECT_NE(ErrorText([&] { refuse.ExecProc(); }).find("the process is busy"), std::string::npos);
    EXPECT_EQ(counter.execute, 2) << "the call and its one retry";
    EXPECT_EQ(counter.prepared, std::vector<std::string>{"Execute Procedure REFUSE ?\r\n"})
        << "prepared once more before the retry";
}

VELKOR_ON_BOTH_ENGINES(StoredProcInputs);

} // namespace
} // namespace velkor
