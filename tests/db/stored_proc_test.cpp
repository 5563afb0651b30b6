// Stored procedure calls and their parameter lists against a real throwaway database: the
// panel's STOP_PROC and SET_PROC_PRIORITY, and procedures made for the occasion.
#include "db/client/ib_error.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_stored_proc.h"
#include "tests/support/attached_database.h"
#include "tests/support/client_call_counter.h"
#include "tests/support/engine_test.h"
#include "tests/support/error_text.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

#include <gtest/gtest.h>

#include <functional>

namespace velkor {
namespace {

using test::ErrorText;

class StoredProc : public test::EngineTest
{
protected:
    // Set up as the main window sets its two calls up.
    TIBStoredProc &Call(const char *name, const char *procedure)
    {
        auto &call = CreateOwned<TIBStoredProc>(owner);
        call.SetName(name);
        call.SetStoredProcName(procedure);
        call.SetDatabase(&database);
        call.SetTransaction(&transaction);
        call.Params().AddParam(TFieldType::ftInteger, "RESULT", TParamType::ptOutput);
        call.Params().AddParam(TFieldType::ftInteger, "PROC_ID", TParamType::ptInput);
        return call;
    }
    // In a fresh snapshot: the procedures commit on their own.
    long Count(const std::string &where)
    {
        transaction.Commit();
        transaction.StartTransaction();
        return test::QueryInteger(database, transaction,
                                  "SELECT COUNT(*) FROM VELKOR_PROCESS WHERE " + where);
    }
    void Define(const std::string &ddl)
    {
        test::ExecuteRaw(database, transaction, ddl);
        transaction.Commit();
        transaction.StartTransaction();
    }

    test::TAttachedDatabase attached{test::TTestDatabase::TContent::withSamples, Engine()};
    TComponent &owner = attached.owner;
    TIBDatabase &database = attached.database;
    TIBTransaction &transaction = attached.transaction;
};

TEST_P(StoredProc, the_first_call_reads_the_catalogue_and_prepares_later_calls_only_execute)
{
    TIBStoredProc &stop = Call("StopProcedure", "STOP_PROC");
    EXPECT_EQ(stop.SelectSQL().Count(), 0) << "nothing built before the first call";
    const TClientHandle mainTransaction = transaction.Handle();
    {
        test::TClientCallCounter counter;
        stop.ParamNamed("proc_id").SetIntegerValue(5);
        stop.ExecProc();
        ASSERT_GE(counter.prepared.size(), 2u);
        EXPECT_EQ(counter.prepared[0],
                  "SELECT RDB$PARAMETER_NAME,  RDB$PARAMETER_TYPE FROM RDB$PROCEDURE_PARAMETERS "
                  "WHERE RDB$PROCEDURE_NAME = 'STOP_PROC' ORDER BY RDB$PARAMETER_NUMBER\r\n");
        EXPECT_EQ(counter.prepared[1], "Execute Procedure STOP_PROC ?\r\n");
    }
    EXPECT_EQ(stop.SelectSQL().Text(), "Execute Procedure STOP_PROC :PROC_ID\n");
    EXPECT_TRUE(stop.IsPrepared());
    EXPECT_EQ(stop.ParamNamed("RESULT").Value(), TVariant(1));
    EXPECT_EQ(transaction.Handle(), mainTransaction) << "the catalogue has its own transaction";
    EXPECT_FALSE(database.InternalTransaction().InTransaction());
    {
        test::TClientCallCounter counter;
        stop.ExecProc();
        EXPECT_EQ(counter.prepare, 0);
        EXPECT_EQ(counter.execute, 1);
    }
    EXPECT_EQ(stop.ParamNamed("RESULT").Value(), TVariant(0)) << "stopped already";
    EXPECT_FALSE(stop.Active());
    EXPECT_EQ(Count("PROC_ID = 5 AND STOPPED_AT IS NOT NULL"), 1);

    // The transaction's end dropped the statement: the next call prepares it again, without
    // reading the catalogue.
    test::TClientCallCounter counter;
    stop.ExecProc();
    EXPECT_EQ(counter.prepared, std::vector<std::string>{"Execute Procedure STOP_PROC ?\r\n"});
}

TEST_P(StoredProc, set_priority_sends_its_inputs_by_position)
{
    TIBStoredProc &set = Call("SetPriorityProcedure", "SET_PROC_PRIORITY");
    set.Params().AddParam(TFieldType::ftInteger, "PRIORITY", TParamType::ptInput);
    set.ParamNamed("PROC_ID").SetIntegerValue(7);
    set.ParamNamed("PRIORITY").SetIntegerValue(42);
    set.ExecProc();
    EXPECT_EQ(set.SelectSQL().Text(), "Execute Procedure SET_PROC_PRIORITY :PROC_ID, :PRIORITY\n");
    EXPECT_EQ(Count("PROC_ID = 7 AND PROC_PRIORITY = 42"), 1);
    EXPECT_EQ(set.ParamNamed("RESULT").Value().VarType(), TVarType::varInteger);
}

TEST_P(StoredProc, bad_calls_fail_with_their_own_messages)
{
    TIBStoredProc &stop = Call("StopProcedure", "STOP_PROC");
    EXPECT_EQ(ErrorText([&] { (void)stop.ParamNamed("PROCID"); }),
              "StopProcedure: Parameter 'PROCID' not found");
    EXPECT_EQ(ErrorText([&] { stop.ExecProc(); }), "Required Param value not set");
    EXPECT_EQ(ErrorText([&] { stop.Open(); }),
              "use ExecProc for Procedure; use TQuery for Select procedures");
    EXPECT_FALSE(stop.Active());

    auto &nameless = CreateOwned<TIBStoredProc>(owner);
    nameless.SetDatabase(&database);
    EXPECT_EQ(ErrorText([&] { nameless.ExecProc(); }), "No Stored Procedure Name assigned");

    Define("CREATE EXCEPTION PROC_BUSY 'the process is busy'");
    Define("CREATE PROCEDURE REFUSE (PROC_ID INTEGER) RETURNS (RESULT INTEGER) AS "
           "BEGIN EXCEPTION PROC_BUSY; END");
    TIBStoredProc &refuse = Call("Refuse", "REFUSE");
    refuse.ParamNamed("PROC_ID").SetIntegerValue(1);
    EXPECT_NE(ErrorText([&] { refuse.ExecProc(); }).find("the process is busy"), std::string::npos);
    EXPECT_TRUE(refuse.ParamNamed("RESULT").Value().IsEmpty()) << "outputs keep what they had";

    TIBStoredProc &missing = Call("Missing", "NO_SUCH_PROC");
    missing.ParamNamed("PROC_ID").SetIntegerValue(1);
    EXPECT_NE(ErrorText([&] { missing.ExecProc(); }).find("NO_SUCH_PROC"), std::string::npos);
    EXPECT_FALSE(missing.IsPrepared());
}

TEST_P(StoredProc, a_null_goes_as_null_and_a_procedure_without_inputs_runs)
{
    Define("CREATE PROCEDURE IS_NULL (X INTEGER) RETURNS (RESULT INTEGER) AS "
           "BEGIN RESULT = IIF(X IS NULL, 1, 0); END");
    Define("CREATE PROCEDURE NO_INPUTS RETURNS (RESULT INTEGER) AS BEGIN RESULT = 42; END");
    auto &isNull = CreateOwned<TIBStoredProc>(owner);
    isNull.SetDatabase(&database);
    isNull.SetStoredProcName("IS_NULL");
    EXPECT_EQ(isNull.SelectSQL().Text(), "Execute Procedure IS_NULL :X\n")
        << "a connection being assigned, the name builds the text at once";
    isNull.Prepare();
    ASSERT_EQ(isNull.Params().Count(), 2) << "built from the statement: outputs, then inputs";
    EXPECT_EQ(isNull.Params()[0].Name(), "RESULT");
    EXPECT_EQ(isNull.Params()[0].ParamType(), TParamType::ptOutput);
    EXPECT_EQ(isNull.Params()[1].Name(), "X");
    EXPECT_EQ(isNull.Params()[1].DataType(), TFieldType::ftInteger);
    isNull.ParamNamed("X").SetValue(TVariant::Null());
    isNull.ExecProc();
    EXPECT_EQ(isNull.ParamNamed("RESULT").IntegerValue(), 1);
    isNull.ParamNamed("X").SetIntegerValue(3);
    isNull.ExecProc();
    EXPECT_EQ(isNull.ParamNamed("RESULT").IntegerValue(), 0);

    auto &noInputs = CreateOwned<TIBStoredProc>(owner);
    noInputs.SetDatabase(&database);
    noInputs.SetStoredProcName("NO_INPUTS");
    EXPECT_EQ(noInputs.SelectSQL().Text(), "Execute Procedure NO_INPUTS \n");
    noInputs.ExecProc();
    EXPECT_EQ(noInputs.ParamNamed("RESULT").IntegerValue(), 42);
}

TEST_P(StoredProc, the_name_rebuilds_only_when_its_text_changes)
{
    TIBStoredProc &stop = Call("StopProcedure", "STOP_PROC");
    stop.ParamNamed("PROC_ID").SetIntegerValue(2);
    stop.ExecProc();
    stop.SetStoredProcName("STOP_PROC");
    EXPECT_TRUE(stop.IsPrepared());
    EXPECT_EQ(stop.Params().Count(), 2);
    stop.SetStoredProcName("stop_proc");
    EXPECT_FALSE(stop.IsPrepared());
    EXPECT_EQ(stop.Params().Count(), 0);
    EXPECT_EQ(stop.SelectSQL().Text(), "Execute Procedure STOP_PROC :PROC_ID\n");
}

TEST(Params, values_types_and_shared_names)
{
    TParams params;
    TParam &id = params.AddParam(TFieldType::ftInteger, "PROC_ID", TParamType::ptInput);
    EXPECT_TRUE(id.IsNullValue());
    EXPECT_FALSE(id.IsBound());
    EXPECT_EQ(id.IntegerValue(), 0);
    id.SetIntegerValue(12);
    EXPECT_EQ(id.DataType(), TFieldType::ftInteger);
    id.SetValue(TVariant(13));
    EXPECT_EQ(id.DataType(), TFieldType::ftInteger);
    EXPECT_EQ(id.StringValue(), "13");

    TParam &untyped = params.AddParam(TFieldType::ftUnknown, "X", TParamType::ptInput);
    untyped.SetValue(TVariant(1));
    EXPECT_EQ(untyped.DataType(), TFieldType::ftInteger);
    untyped.SetDataType(TFieldType::ftString);
    EXPECT_TRUE(untyped.Value().IsEmpty()) << "a new type clears the value";
    untyped.SetBooleanValue(true);
    EXPECT_EQ(untyped.StringValue(), "True");

    // A second of the same name shares the first one's type and value; adding it set the
    // shared type, which cleared the value.
    TParam &again = params.AddParam(TFieldType::ftInteger, "proc_id", TParamType::ptUnknown);
    EXPECT_TRUE(id.Value().IsEmpty());
    again.SetValue(TVariant(99));
    EXPECT_EQ(id.IntegerValue(), 99);
    EXPECT_EQ(params[2].Value(), TVariant(99));
    EXPECT_EQ(params[2].ParamType(), TParamType::ptInput);
    EXPECT_EQ(params.LookupParam("Proc_Id"), &id);
    EXPECT_EQ(ErrorText([&] { (void)params.ParamNamed("NONE"); }), "Parameter 'NONE' not found");

    TParams source;
    source.AddParam(TFieldType::ftInteger, "PROC_ID", TParamType::ptInput).SetIntegerValue(5);
    source.AddParam(TFieldType::ftInteger, "OTHER", TParamType::ptInput).SetIntegerValue(6);
    TParams copy;
    copy.Assign(source);
    EXPECT_TRUE(copy == source);
    copy.Items(0).SetIntegerValue(7);
    EXPECT_FALSE(copy == source);
    params.AssignValues(copy);
    EXPECT_EQ(id.IntegerValue(), 7);
    EXPECT_EQ(params.LookupParam("OTHER"), nullptr);
}

VELKOR_ON_BOTH_ENGINES(StoredProc);

} // namespace
} // namespace velkor
